// The coverage model of a run: what the per-file computation fills and the
// report writers read (by const reference).
//
// The component list, the file entries and the run totals live for the run;
// the position table, the function tables, the marker scanner and the current
// group belong to the file being processed and are reset between files.
#pragma once

#include <span>

#include "coverage/component.h"
#include "coverage/coverage_list.h"
#include "coverage/function_table.h"
#include "coverage/marker_scanner.h"
#include "coverage/totals.h"

namespace vorel {

struct CoverageModel {
  ComponentList components;
  CoverageList files;
  FunctionTables functions;
  RunTotals totals;

  // Per file: the group being processed (its routines in list order, with
  // their newly-covered flags) and its infeasible lines.
  std::span<const Component> current_group;
  MarkerScanner scanner;

  // Frees the per-file state: position table, function tables, scanner, group.
  void reset_file();
  // Moves the per-file state into a model of its own (its components keep
  // only the flags the writers read; its group still points into this
  // model's list) and resets this model's.
  CoverageModel take_file();
};

}  // namespace vorel
