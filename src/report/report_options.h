// What the report writers read of the run's options.
//
// Filled once by the driver (its layer_options.cpp) from the settings
// record; the HTML pages, the line-coverage text, the summary table and the
// lists receive it as `const ReportOptions&`.
#pragma once

#include <array>
#include <optional>
#include <string>

#include "platform/host.h"

namespace vorel {

// The colour table's defaults, indexed by position state
// (coverage/position_state.h); entry 0 is unused.
inline std::array<std::string, 8> default_colors() {
  return {"", "#90ee90", "#ffffff", "#ffffff", "#fafad2", "#ffff99", "#ffcccc", "#ffffff"};
}

struct ReportOptions {
  HostRules host = host_rules();
  std::string page_extension = "html";
  bool differential = false;        // -ref: the miss-rate layout
  bool demangle = false;            // -demang
  bool no_html = false;             // -nohtml
  // Display names of source files.
  bool show_dir_names = false;      // -showdirnames
  std::string user_source_root;     // the settled root when the user gave one, else empty
  // Page text.
  std::optional<std::string> project_name;
  std::optional<std::string> owner_name;
  std::optional<std::string> owner_address;
  // The seven resolved colours, indexed by position state (1..7).
  std::array<std::string, 8> colors = default_colors();
  bool floating_info = false;       // information lines take the line's colour
  bool show_counts = false;         // -counts
  bool markers_in_use = false;      // infeasible-code markers given
  // Links to the test-database server.
  bool qst_links = false;
  std::string qst_host = "qst_host";
  std::string qst_db_name = "qst_db";
  std::optional<std::string> qst_db_project;

  // The colour of position state `state` (1..7).
  const std::string& color(int state) const { return colors[static_cast<size_t>(state)]; }
};

}  // namespace vorel
