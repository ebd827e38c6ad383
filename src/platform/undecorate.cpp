#include "platform/undecorate.h"

#include <cxxabi.h>
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

// The C++ runtime's demangler: the spelling binutils' c++filt prints.
std::optional<std::string> runtime_demangle(const std::string& name) {
  int status = 0;
  return to_string(CString(abi::__cxa_demangle(name.c_str(), nullptr, nullptr, &status)));
}

std::optional<std::string> itanium(const std::string& name, bool full_signature) {
  if (!full_signature) {
    llvm::ItaniumPartialDemangler demangler;
    if (!demangler.partialDemangle(name.c_str())) {
      // Functions: the qualified name without parameters or return type.
      if (demangler.isFunction())
        return to_string(CString(demangler.getFunctionName(nullptr, nullptr)));
      return to_string(CString(demangler.finishDemangle(nullptr, nullptr)));
    }
    // Names LLVM's demangler rejects: the runtime's spelling, cut to the name.
    std::optional<std::string> full = runtime_demangle(name);
    if (!full) return std::nullopt;
    return function_name_of(*full);
  }
  if (std::optional<std::string> full = runtime_demangle(name)) return full;
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

namespace {

bool is_identifier_char(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '$';
}

// The length of the operator symbol that follows "operator" at `at`, so that
// its '<', '>' or '(' do not count as brackets.
size_t operator_symbol_length(std::string_view text, size_t at) {
  static constexpr std::string_view kSymbols[] = {
      "<<=", ">>=", "->*", "<=>", "()", "[]", "<<", ">>", "<=", ">=", "->", "==", "!=", "&&", "||", "++", "--",
      "+=", "-=", "*=", "/=", "%=", "&=", "|=", "^=", "<", ">", "+", "-", "*", "/", "%", "&", "|", "^", "~",
      "!", "=", ","};
  for (std::string_view s : kSymbols)
    if (text.substr(at, s.size()) == s) return s.size();
  return 0;
}

}  // namespace

std::string function_name_of(std::string_view full) {
  // One pass at bracket depth 0: where the last parenthesised group starts
  // and ends, and the last blank before it.
  int depth = 0;
  size_t group_start = std::string_view::npos, group_end = 0, blank = std::string_view::npos;
  size_t blank_before_group = std::string_view::npos;
  for (size_t i = 0; i < full.size(); ++i) {
    const char c = full[i];
    if (full.compare(i, 8, "operator") == 0 && (i == 0 || !is_identifier_char(full[i - 1])) &&
        (i + 8 >= full.size() || !is_identifier_char(full[i + 8]))) {
      i += 8;
      if (size_t n = operator_symbol_length(full, i)) {
        i += n;
        if (full.compare(i, 2, " <") == 0) ++i;  // "operator< <int>": the blank is the name's
      } else {  // "operator new", conversions: up to the parameter list
        while (i < full.size() && full[i] != '(') ++i;
      }
      --i;
      continue;
    }
    if (c == '<' || c == '[' || c == '{') {
      ++depth;
    } else if (c == '>' || c == ']' || c == '}') {
      if (depth > 0) --depth;
    } else if (c == '(') {
      if (depth++ == 0) {
        group_start = i;
        blank_before_group = blank;
      }
    } else if (c == ')') {
      if (depth > 0 && --depth == 0) group_end = i + 1;
    } else if (c == ' ' && depth == 0) {
      blank = i;
    }
  }
  if (group_start == std::string_view::npos || group_end <= group_start) return std::string(full);
  // A function's parameter list is followed only by qualifiers.
  std::string_view rest = full.substr(group_end);
  while (!rest.empty()) {
    bool cut = false;
    for (std::string_view q : {" const", " volatile", " &&", " &", " noexcept", " transaction_safe"})
      if (rest.substr(0, q.size()) == q) {
        rest.remove_prefix(q.size());
        cut = true;
        break;
      }
    if (!cut && rest.substr(0, 8) == " [clone ") {
      size_t close = rest.find(']');
      if (close == std::string_view::npos) break;
      rest.remove_prefix(close + 1);
      cut = true;
    }
    if (!cut) break;
  }
  if (!rest.empty()) return std::string(full);  // not a function: "vtable for ...", data
  const size_t from = blank_before_group == std::string_view::npos ? 0 : blank_before_group + 1;
  if (from >= group_start) return std::string(full);
  return std::string(full.substr(from, group_start - from));
}

std::optional<std::string> undecorate(std::string_view name, bool full_signature) {
  bool decorated = (name.size() > 1 && name[0] == '?') || (name.size() > 2 && name.substr(0, 2) == "_Z");
  if (!decorated || name.size() > kMaxUndecoratedLength) return std::nullopt;
  std::string text(name);
  if (text.size() <= kDirectLength) return undecorate_here(text, full_signature);
  return undecorate_on_helper(text, full_signature);
}

}  // namespace vorel
