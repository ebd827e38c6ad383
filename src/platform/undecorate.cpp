#include "platform/undecorate.h"

#include <pthread.h>

#include <cstdlib>
#include <memory>
#include <new>

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

std::optional<std::string> undecorate_here(const std::string& text, bool full_signature) {
  if (text[0] == '?') return microsoft(text, full_signature);
  return itanium(text, full_signature);
}

// The demangler recurses once per nesting level, and every level takes at
// least one byte of the name: measured with LLVM 14 on deep pointer,
// template, function-type and nested-name chains of both schemes, a name
// needs at most about 100 bytes of stack per byte (500 per level). Names up
// to kDirectLength therefore fit any caller's stack (~100 KiB); longer ones,
// up to kMaxUndecoratedLength (~400 KiB), run on a helper thread whose stack
// has forty times that room whatever the caller's stack limit is.
constexpr size_t kDirectLength = 1024;
constexpr size_t kHelperStack = size_t{16} << 20;

struct HelperJob {
  const std::string* text;
  bool full_signature;
  std::optional<std::string> result;
  bool out_of_memory = false;
};

// An exception must not leave a thread: running out of memory is handed
// back to the caller, which throws it on.
void* run_helper(void* arg) {
  auto* job = static_cast<HelperJob*>(arg);
  try {
    job->result = undecorate_here(*job->text, job->full_signature);
  } catch (const std::bad_alloc&) {
    job->out_of_memory = true;
  }
  return nullptr;
}

// Undecorates on a thread with a kHelperStack stack; a name that cannot get
// one is kept as it is.
std::optional<std::string> undecorate_on_helper(const std::string& text, bool full_signature) {
  HelperJob job{&text, full_signature, std::nullopt};
  pthread_attr_t attr;
  if (pthread_attr_init(&attr) != 0) return std::nullopt;
  pthread_t thread;
  bool started = pthread_attr_setstacksize(&attr, kHelperStack) == 0 &&
                 pthread_create(&thread, &attr, run_helper, &job) == 0;
  pthread_attr_destroy(&attr);
  if (!started || pthread_join(thread, nullptr) != 0) return std::nullopt;
  if (job.out_of_memory) throw std::bad_alloc();
  return std::move(job.result);
}

}  // namespace

std::optional<std::string> undecorate(std::string_view name, bool full_signature) {
  bool decorated = (name.size() > 1 && name[0] == '?') || (name.size() > 2 && name.substr(0, 2) == "_Z");
  if (!decorated || name.size() > kMaxUndecoratedLength) return std::nullopt;
  std::string text(name);
  if (text.size() <= kDirectLength) return undecorate_here(text, full_signature);
  return undecorate_on_helper(text, full_signature);
}

}  // namespace vorel
