#include "driver/outputs.h"

#include <cerrno>
#include <optional>
#include <string>

#include "base/diag.h"
#include "base/output.h"
#include "driver/settings.h"
#include "platform/output_file.h"
#include "report/list_format.h"

namespace vorel {

namespace {

// The call graph is a text file, closed after the text lists.
enum class Format { kText, kXml, kCallGraph };

struct Output {
  std::FILE* OutputFiles::*stream;
  std::optional<std::string> Settings::*name;
  Format format;
};

// In opening order.
constexpr Output kOutputs[] = {
    {&OutputFiles::xml_function_list, &Settings::xml_function_list, Format::kXml},
    {&OutputFiles::txt_function_list, &Settings::txt_function_list, Format::kText},
    {&OutputFiles::xml_block_list_full, &Settings::xml_block_list_full, Format::kXml},
    {&OutputFiles::txt_block_list_full, &Settings::txt_block_list_full, Format::kText},
    {&OutputFiles::xml_block_list, &Settings::xml_block_list, Format::kXml},
    {&OutputFiles::txt_block_list, &Settings::txt_block_list, Format::kText},
    {&OutputFiles::call_graph, &Settings::call_graph_file, Format::kCallGraph},
};

void close_checked(std::FILE*& stream, const std::string& name) {
  if (!stream) return;
  const bool written = finish_output(stream, name);
  stream = nullptr;
  if (!written) fatal_exit(1);
}

// Closes the outputs of one kind, in opening order; XML lists get their tail.
void close_kind(const Settings& settings, OutputFiles& files, Format format) {
  for (const Output& out : kOutputs) {
    if (out.format != format) continue;
    std::FILE*& stream = files.*out.stream;
    if (!stream) continue;
    if (format == Format::kXml) write_xml_tail(stream);
    close_checked(stream, *(settings.*out.name));
  }
}

}  // namespace

void open_output_files(const Settings& settings, OutputFiles& files) {
  for (const Output& out : kOutputs) {
    const std::optional<std::string>& name = settings.*out.name;
    if (!name) continue;
    std::FILE* stream = output_open(*name, true);  // a device or pipe is written directly
    if (!stream) {
      const int code = errno;
      print_err("Couldn't open file %s for output!\n", name->c_str());
      print_open_reason(*name, code);
      fatal_exit(1);
    }
    files.*out.stream = stream;
    if (out.format == Format::kXml) write_xml_head(stream, settings.project_name);
  }
}

void close_output_files(const Settings& settings, OutputFiles& files) {
  close_kind(settings, files, Format::kXml);
  close_kind(settings, files, Format::kText);
  close_kind(settings, files, Format::kCallGraph);
}

}  // namespace vorel
