// Internal to the per-file computation: the work on one routine.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "coverage/block_list_sink.h"
#include "coverage/line_map.h"

namespace vorel {

struct ComputeContext;
struct Component;
struct DpiRoutine;

// Counters of the file being computed.
struct FileWork {
  uint32_t functions = 0;
  uint32_t executed = 0;
  uint32_t new_functions = 0;      // -ref: routines newly covered
  uint32_t with_new_coverage = 0;  // -ref: routines with a newly covered block
  uint32_t blocks = 0;
  uint32_t covered_blocks = 0;
  std::vector<uint32_t> line_numbers;  // feasible lines of its routines, may repeat
  uint32_t covered_lines = 0;          // distinct: a line is counted when first covered
  bool executed_with_blocks = false;
};

// One routine of the group with its dynamic records.
struct RoutineWork {
  const Component* entry = nullptr;
  std::string list_name;                   // name written into the full block lists
  std::unique_ptr<DpiRoutine> record;     // nullptr: no dynamic record
  std::unique_ptr<DpiRoutine> ref_record; // -ref only
  bool newly_covered = false;
  bool line_holder = false;                // lines of no function: counted as no function
  std::optional<RoutineLineMap> line_map;  // line-coverage mode only
  uint32_t extra = 0;
  uint32_t ignored = 0;
  uint32_t covered = 0;
  uint32_t line_total = 0;
  uint32_t covered_lines = 0;
};

// The two ways a routine enters the model.
void add_executed_routine(const ComputeContext& ctx, bool line_coverage, RoutineWork& r,
                          FileWork& file);
void add_routine_not_executed(const ComputeContext& ctx, bool line_coverage, RoutineWork& r);

}  // namespace vorel
