#include "coverage/function_table.h"

#include "coverage/coverage_list.h"
#include "base/diag.h"

namespace vorel {

namespace {

bool same_routine(const FunctionInfo& info, const FunctionAdd& r) {
  return info.start_line == r.start_line && info.readable_name == r.readable_name;
}

std::unique_ptr<FunctionInfo> make_info(const FunctionAdd& r) {
  auto info = std::make_unique<FunctionInfo>();
  info->readable_name = r.readable_name;
  info->proc_name = r.proc_name;
  info->start_line = r.start_line;
  info->blocks = r.blocks;
  info->covered_blocks = r.covered_blocks;
  info->block_percent = percent_of(r.covered_blocks, r.blocks);
  info->lines = r.lines;
  info->covered_lines = r.covered_lines;
  info->line_percent = percent_of(r.covered_lines, r.lines);
  return info;
}

}  // namespace

void FunctionTables::open(size_t slots) {
  reset();
  slots_ = slots == 0 ? 1 : slots;
}

void FunctionTables::reset() {
  front_.clear();
  back_.clear();
  seen_ = 0;
}

bool FunctionTables::in_front(const FunctionAdd& r) const {
  for (auto it = front_.rbegin(); it != front_.rend(); ++it)
    if (same_routine(**it, r)) return true;
  return false;
}

std::ptrdiff_t FunctionTables::find_back(const FunctionAdd& r) const {
  // The back list reads last-added first.
  for (std::ptrdiff_t i = static_cast<std::ptrdiff_t>(back_.size()) - 1; i >= 0; --i)
    if (same_routine(*back_[i], r)) return i;
  return -1;
}

void FunctionTables::remove_back(std::ptrdiff_t index) {
  // The back list's first entry (the one added last) moves into the hole.
  back_[index] = std::move(back_.back());
  back_.pop_back();
}

void FunctionTables::check_regions() const {
  // The front region must not reach into the back region of the slot array.
  if (front_.size() + back_.size() < slots_) return;
  print_out("ERROR: corrupt function table. cvrd = %p (%d), uncvrd = %p (%d)\n",
            static_cast<const void*>(front_.data()), static_cast<int>(front_.size()),
            static_cast<const void*>(back_.data()), static_cast<int>(back_.size()));
}

void FunctionTables::add(const FunctionAdd& r, bool differential) {
  const bool covered = r.covered_blocks >= 1;
  enum class Place { kFront, kBack, kNone } place;
  if (!differential)
    place = covered ? Place::kFront : Place::kBack;
  else if (r.newly_covered)
    place = Place::kBack;
  else
    place = covered ? Place::kFront : Place::kNone;

  if (r.ambiguous) {
    const bool plain_covered = covered && !r.newly_covered;
    if (plain_covered) {
      if (in_front(r)) return;
      std::ptrdiff_t hit = find_back(r);
      if (hit >= 0) remove_back(hit);
    } else if (place == Place::kBack) {
      if (in_front(r) || find_back(r) >= 0) return;
    }
  }

  std::unique_ptr<FunctionInfo> info = make_info(r);
  check_regions();
  ++seen_;
  if (place == Place::kFront)
    front_.push_back(std::move(info));
  else if (place == Place::kBack)
    back_.push_back(std::move(info));
}

std::vector<const FunctionInfo*> FunctionTables::covered() const {
  std::vector<const FunctionInfo*> out;
  out.reserve(front_.size());
  for (const auto& p : front_) out.push_back(p.get());
  return out;
}

std::vector<const FunctionInfo*> FunctionTables::uncovered() const {
  std::vector<const FunctionInfo*> out;
  out.reserve(back_.size());
  for (auto it = back_.rbegin(); it != back_.rend(); ++it) out.push_back(it->get());
  return out;
}

}  // namespace vorel
