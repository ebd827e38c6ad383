#include "driver/layer_options.h"

#include "driver/settings.h"

namespace vorel {

CoverageOptions coverage_options(const Settings& s) {
  CoverageOptions o;
  o.spi_file_name = s.spi_file_name;
  o.dpi_file_name = s.dpi_file_name;
  o.src_root_dir = s.src_root_dir;
  o.differential = s.differential;
  o.multiple_definitions = s.multiple_definitions;
  o.demangle = s.demangle != 0;
  o.no_unwind = s.no_unwind;
  o.no_partial = s.no_partial;
  o.include_nonexec = s.include_nonexec;
  o.host = s.host;
  return o;
}

ReportOptions report_options(const Settings& s) {
  ReportOptions o;
  o.host = s.host;
  o.page_extension = s.page_extension;
  o.differential = s.differential;
  o.demangle = s.demangle != 0;
  o.no_html = s.no_html;
  o.show_dir_names = s.show_dir_names;
  // Display names drop the root only when the user gave it.
  if (s.src_root_from_user) o.user_source_root = s.src_root_dir;
  o.project_name = s.project_name;
  o.owner_name = s.owner_name;
  o.owner_address = s.owner_address;
  for (int i = kColorNotFeasible; i <= kColorInformation; ++i) o.colors[static_cast<size_t>(i)] = s.color(i);
  o.floating_info = s.floating_info;
  o.show_counts = s.show_counts;
  o.markers_in_use = s.markers_in_use != 0;
  o.qst_links = s.qst_links != 0;
  o.qst_host = s.qst_host;
  o.qst_db_name = s.qst_db_name;
  o.qst_db_project = s.qst_db_project;
  return o;
}

MarkerLists command_line_markers(const Settings& s) {
  MarkerLists m;
  m.one_line = s.one_line_markers;
  m.begin = s.begin_block_markers;
  m.end = s.end_block_markers;
  m.in_use = s.markers_in_use != 0;
  return m;
}

}  // namespace vorel
