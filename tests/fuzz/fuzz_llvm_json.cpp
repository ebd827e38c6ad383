// Fuzz target: the LLVM importer's reader of llvm-cov's export JSON, the
// line view on the segments it reads and the program builder. It must never
// crash, hang or allocate without bound; a malformed input is a failure.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "import_llvm/llvm_json.h"
#include "import_llvm/program_builder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  import_llvm::LlvmExport exported;
  std::string error;
  if (!import_llvm::parse_llvm_export(bytes, &exported, &error)) return 0;
  import_llvm::FileRules rules;
  rules.keeps = [](const std::string&) { return true; };
  import_llvm::ProgramBuilder builder;
  if (!builder.add(exported, "fuzz", rules, &error)) return 0;
  import_llvm::ImportSummary summary;
  (void)builder.finish(1, &summary);
  return 0;
}
