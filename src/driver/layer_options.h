// The one place that maps the settings record onto the small option records
// of the layers below the driver.
#pragma once

#include "coverage/coverage_options.h"
#include "coverage/markers.h"
#include "report/report_options.h"

namespace vorel {

struct Settings;

// What the coverage layer reads (after the source root is settled).
CoverageOptions coverage_options(const Settings& settings);

// What the report writers read (after the source root is settled).
ReportOptions report_options(const Settings& settings);

// The infeasible-code markers of the command line.
MarkerLists command_line_markers(const Settings& settings);

}  // namespace vorel
