#include "driver/output_clash.h"

#include <optional>
#include <string>
#include <vector>

#include "base/diag.h"
#include "driver/extension_options.h"
#include "driver/settings.h"
#include "platform/output_file.h"
#include "report/page_names.h"

namespace vorel {

namespace {

struct Use {
  std::string what;  // the option and its value, as the message shows it
  std::string path;
  bool named = true;   // a name the user gave: links are followed
  bool input = false;  // read, never written
};

void add(std::vector<Use>& uses, const char* option, const std::optional<std::string>& name,
         bool input = false) {
  if (name) uses.push_back({std::string(option) + " " + *name, *name, true, input});
}

}  // namespace

void refuse_shared_outputs(const Settings& s) {
  std::vector<Use> uses;
  add(uses, "-spi", s.spi_file_name, true);
  add(uses, "-dpi", s.dpi_file_name, true);
  add(uses, "-ref", s.ref_dpi_file_name, true);
  add(uses, "-comp", s.component_file_name, true);
  add(uses, "-xmlfcvrg", s.xml_function_list);
  add(uses, "-txtfcvrg", s.txt_function_list);
  add(uses, "-xmlbcvrgfull", s.xml_block_list_full);
  add(uses, "-txtbcvrgfull", s.txt_block_list_full);
  add(uses, "-xmlbcvrg", s.xml_block_list);
  add(uses, "-txtbcvrg", s.txt_block_list);
  add(uses, "-txtdcg", s.call_graph_file);
  add(uses, "--cobertura", s.extensions.cobertura);
  add(uses, "--lcov", s.extensions.lcov);
  add(uses, "--json-summary", s.extensions.json_summary);
  const bool html = s.html_report && !s.no_html;
  const bool report_directory = html || (!s.html_report && s.line_coverage);
  const std::string root = html ? plain_name("Code_Coverage", s.page_extension)
                                : plain_name("Code_Coverage", "txt");
  if (report_directory)
    uses.push_back({"the report's " + root, root, false, false});
  for (size_t i = 0; i < uses.size(); ++i) {
    if (uses[i].input) continue;
    if (report_directory && uses[i].named && inside_directory(uses[i].path, kReportDirectory)) {
      print_err("ERROR: %s is inside the report directory %s.\n", uses[i].what.c_str(), kReportDirectory);
      fatal_exit(1);
    }
    for (size_t j = 0; j < uses.size(); ++j) {
      if (j == i || (j > i && !uses[j].input) ||
          !same_file(uses[i].path, uses[i].named, uses[j].path, uses[j].named))
        continue;
      const Use& first = j < i ? uses[j] : uses[i];
      const Use& second = j < i ? uses[i] : uses[j];
      print_err("ERROR: %s and %s are one file.\n", first.what.c_str(), second.what.c_str());
      fatal_exit(1);
    }
  }
}

}  // namespace vorel
