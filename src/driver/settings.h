// The settings record: every option's value with its default.
//
// Filled once by the option scan (options.h) and read-only afterwards. Only
// the driver reads it; the layers below receive their own small records
// (CoverageOptions, ReportOptions) filled in driver/layer_options.cpp.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/diag.h"
#include "coverage/position_state.h"
#include "driver/extension_options.h"
#include "platform/host.h"
#include "report/report_options.h"

namespace vorel {

struct Settings {
  std::string spi_file_name = "zentra.spi";
  std::string dpi_file_name = "zentra.dpi";
  bool differential = false;
  std::optional<std::string> ref_dpi_file_name;
  std::optional<std::string> source_root;          // -srcroot as given
  bool multiple_definitions = false;
  int32_t demangle = 0;
  std::optional<std::string> project_name;
  bool show_dir_names = false;
  std::optional<std::string> component_file_name;
  bool show_counts = false;
  bool block_counts = false;
  bool no_unwind = false;
  uint32_t trace_mask = 0;
  bool no_partial = false;
  bool progress_meter = true;
  std::optional<std::string> owner_address;       // "nobody" after the scan
  std::optional<std::string> owner_name;          // "Nobody" after the scan
  // colors[1..7]; colors[0] is unused.
  std::array<std::string, 8> colors = default_colors();
  bool floating_info = false;
  std::optional<std::string> txt_function_list;
  std::optional<std::string> xml_function_list;
  std::optional<std::string> txt_block_list;
  std::optional<std::string> xml_block_list;
  std::optional<std::string> txt_block_list_full;
  std::optional<std::string> xml_block_list_full;
  std::optional<std::string> call_graph_file;
  bool include_nonexec = false;
  bool no_html = false;
  bool line_coverage = false;
  bool html_report = true;
  std::vector<std::string> one_line_markers;
  std::vector<std::string> begin_block_markers;
  std::vector<std::string> end_block_markers;
  int32_t markers_in_use = 0;
  int32_t qst_links = 0;
  std::string qst_host = "qst_host";
  std::string qst_db_name = "qst_db";
  std::optional<std::string> qst_db_project;
  std::optional<std::string> qst_user;
  std::optional<std::string> qst_password;
  std::string page_extension = "html";
  std::optional<std::string> platform;
  ExtensionOptions extensions;  // --name options

  // Not an option: the naming rules of the host (see platform/host.h).
  HostRules host = host_rules();

  // Run state settled by the driver after the scan: the normalised source
  // root with a final separator, or empty.
  std::string src_root_dir;
  // True when the root came from -srcroot or VOREL_PROF_SRC_ROOT (not from
  // the working directory); display names drop it only then.
  bool src_root_from_user = false;

  // Reads colour `index` (1..7); any other index prints
  // "ERROR: unknown color %d\n" on stdout and ends the run with status 1.
  const std::string& color(int index) const {
    check_color_index(index);
    return colors[static_cast<size_t>(index)];
  }
  static void check_color_index(int index) {
    if (index < 1 || index > 7) {
      print_out("ERROR: unknown color %d\n", index);
      fatal_exit(1);
    }
  }
};

// The colour setter of the option scan: same index check as Settings::color.
inline void set_color(Settings& settings, int index, const std::string& text) {
  Settings::check_color_index(index);
  settings.colors[static_cast<size_t>(index)] = text;
}

}  // namespace vorel
