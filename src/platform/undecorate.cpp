#include "platform/undecorate.h"

#include <cstdlib>
#include <memory>

#include <llvm/Demangle/Demangle.h>
#include <llvm/Demangle/MicrosoftDemangle.h>
#include <llvm/Demangle/Utility.h>

namespace vorel {

namespace {

struct FreeDeleter {
  void operator()(char* p) const { std::free(p); }
};
using CString = std::unique_ptr<char, FreeDeleter>;

std::optional<std::string> to_string(CString text) {
  if (!text) return std::nullopt;
  return std::string(text.get());
}

std::optional<std::string> itanium(const std::string& name, bool full_signature) {
  if (!full_signature) {
    llvm::ItaniumPartialDemangler demangler;
    if (demangler.partialDemangle(name.c_str())) return std::nullopt;
    // Functions: the qualified name without parameters or return type.
    if (demangler.isFunction())
      return to_string(CString(demangler.getFunctionName(nullptr, nullptr)));
    return to_string(CString(demangler.finishDemangle(nullptr, nullptr)));
  }
  int status = 0;
  return to_string(CString(llvm::itaniumDemangle(name.c_str(), nullptr, nullptr, &status)));
}

// The qualified name of a Microsoft symbol, without signature or storage.
std::optional<std::string> microsoft_name_only(const std::string& name) {
  using namespace llvm::ms_demangle;
  Demangler demangler;
  llvm::itanium_demangle::StringView view(name.data(), name.data() + name.size());
  SymbolNode* symbol = demangler.parse(view);
  if (demangler.Error || !symbol || !symbol->Name) return std::nullopt;
  llvm::itanium_demangle::OutputBuffer out;
  if (!llvm::itanium_demangle::initializeOutputBuffer(nullptr, nullptr, out, 256))
    return std::nullopt;
  symbol->Name->output(out, OF_Default);
  out += '\0';
  return to_string(CString(out.getBuffer()));
}

std::optional<std::string> microsoft(const std::string& name, bool full_signature) {
  if (!full_signature) return microsoft_name_only(name);
  int status = 0;
  return to_string(CString(
      llvm::microsoftDemangle(name.c_str(), nullptr, nullptr, nullptr, &status)));
}

}  // namespace

std::optional<std::string> undecorate(std::string_view name, bool full_signature) {
  std::string text(name);
  if (text.size() > 1 && text[0] == '?') return microsoft(text, full_signature);
  if (text.size() > 2 && text.compare(0, 2, "_Z") == 0) return itanium(text, full_signature);
  return std::nullopt;
}

}  // namespace vorel
