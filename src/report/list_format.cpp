#include "report/list_format.h"

#include <cinttypes>

#include "report/ext_text.h"
#include "report/format.h"

namespace vorel {

namespace {

double block_coverage(uint32_t covered, uint32_t blocks) {
  return round_hundredths(percentage(covered, blocks));
}

bool same_position(const BlockDetail& a, const BlockDetail& b) {
  return a.line == b.line && a.column == b.column;
}

void write_text_blocks(std::FILE* out, std::span<const BlockDetail> list) {
  int instance = 0;
  for (size_t i = 0; i < list.size(); ++i) {
    instance = (i > 0 && same_position(list[i - 1], list[i])) ? instance + 1 : 1;
    std::fprintf(out, "%d\t%d\t%d\t%12.0f\n", instance, static_cast<int>(list[i].line),
                 static_cast<int>(list[i].column), list[i].count);
  }
}

void write_xml_blocks(std::FILE* out, std::span<const BlockDetail> list) {
  int instance = 0;
  for (size_t i = 0; i < list.size(); ++i) {
    bool continues = i > 0 && same_position(list[i - 1], list[i]);
    if (!continues) {
      if (i > 0) std::fputs("</BLOCK>\n", out);
      std::fprintf(out, "<BLOCK line=\"%d\" col=\"%d\">\n", static_cast<int>(list[i].line),
                   static_cast<int>(list[i].column));
    }
    instance = continues ? instance + 1 : 1;
    std::fprintf(out, "<INSTANCE id=\"%d\" freq=\"%12.0f\">\n</INSTANCE>\n", instance,
                 list[i].count);
  }
  if (!list.empty()) std::fputs("</BLOCK>\n", out);
}

void write_text_record(std::FILE* out, const FunctionRecord& r) {
  std::fprintf(out, "function - %s\t%" PRIu64 "\t%u\t%u\t%6.2f\n", r.name.c_str(), r.frequency,
               r.blocks, r.covered, block_coverage(r.covered, r.blocks));
  if (r.block_list) write_text_blocks(out, *r.block_list);
}

void write_xml_record(std::FILE* out, const FunctionRecord& r) {
  std::fputs("<FUNCTION name=\"", out);
  write_xml_attribute(out, r.name);
  std::fprintf(out, "\" freq=\"%" PRIu64 "\"", r.frequency);
  if (r.line != 0) std::fprintf(out, " line=\"%d\"", static_cast<int>(r.line));
  std::fputs(">\n", out);
  std::fprintf(out, "<BLOCKS total=\"%u\" covered=\"%u\" coverage=\"%6.2f%%\"></BLOCKS>\n",
               r.blocks, r.covered, block_coverage(r.covered, r.blocks));
  if (r.block_list) write_xml_blocks(out, *r.block_list);
  std::fputs("</FUNCTION>\n", out);
}

}  // namespace

void write_function_record(std::FILE* out, ListFormat format, const FunctionRecord& record) {
  if (format == ListFormat::kText)
    write_text_record(out, record);
  else
    write_xml_record(out, record);
}

void write_group_start(std::FILE* out, ListFormat format, const char* label,
                       std::string_view name) {
  if (format == ListFormat::kText) {
    std::fprintf(out, "%s \"", label);
    std::fwrite(name.data(), 1, name.size(), out);
    std::fputs("\"\n", out);
    return;
  }
  std::fputs("<MODULE name = \"", out);
  write_xml_attribute(out, name);
  std::fputs("\">\n", out);
}

void write_group_end(std::FILE* out, ListFormat format) {
  std::fputs(format == ListFormat::kText ? "\n" : "</MODULE>\n", out);
}

void write_xml_head(std::FILE* out, const std::optional<std::string>& project) {
  std::fputs("<PROJECT name = \"", out);
  if (project)
    write_xml_attribute(out, *project);
  else
    std::fputs("(null)", out);
  std::fputs("\">\n", out);
}

void write_xml_tail(std::FILE* out) { std::fputs("</PROJECT>\n", out); }

void write_xml_attribute(std::FILE* out, std::string_view text) {
  // Names come from the profiles as bytes: a name that is not UTF-8 is taken
  // as Windows-1252, as the source views take such sources; a character XML
  // 1.0 cannot hold becomes a visible '?'.
  const std::string escaped = xml_text(text, "?");
  std::fwrite(escaped.data(), 1, escaped.size(), out);
}

}  // namespace vorel
