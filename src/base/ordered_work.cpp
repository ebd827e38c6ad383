#include "base/ordered_work.h"

#include <algorithm>
#include <atomic>

#include "platform/output_file.h"

namespace vorel {

namespace {
// Unit numbers rise over the whole run, across pools: they order the outputs.
std::atomic<uint64_t> g_last_number{0};
}  // namespace

OrderedWork::OrderedWork(unsigned threads, size_t window)
    : window_(std::max<size_t>(window, threads)) {
  if (threads <= 1) return;
  workers_.reserve(threads);
  for (unsigned i = 0; i < threads; ++i) workers_.emplace_back([this] { work(); });
}

OrderedWork::~OrderedWork() { stop(); }

void OrderedWork::stop() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
    queue_.clear();
  }
  work_ready_.notify_all();
  for (std::thread& t : workers_)
    if (t.joinable()) t.join();
  workers_.clear();
  held_.clear();
}

void OrderedWork::add(const Step& here, Step there, Step after) {
  const uint64_t number = ++g_last_number;
  if (workers_.empty()) {
    output_order_key(number);
    here();
    there();
    after();
    return;
  }
  auto unit = std::make_unique<Unit>();
  unit->number = number;
  {
    output_order_key(number);
    ConsoleCapture capture(&unit->output);
    try {
      here();
    } catch (...) {
      unit->error = std::current_exception();
    }
  }
  unit->after = std::move(after);
  std::unique_lock<std::mutex> lock(mutex_);
  if (unit->error) {
    unit->done = true;
    held_.push_back(std::move(unit));
    finish_front(lock, 0);  // throws when it reaches the failed unit
    return;
  }
  unit->there = std::move(there);
  queue_.push_back(unit.get());
  held_.push_back(std::move(unit));
  lock.unlock();
  work_ready_.notify_one();
  lock.lock();
  finish_front(lock, window_);
}

void OrderedWork::finish() {
  if (!workers_.empty()) {
    std::unique_lock<std::mutex> lock(mutex_);
    finish_front(lock, 0);
  }
  output_order_key(++g_last_number);  // the caller's later outputs come after every unit's
}

void OrderedWork::finish_front(std::unique_lock<std::mutex>& lock, size_t keep) {
  while (!held_.empty()) {
    Unit& front = *held_.front();
    if (!front.done) {
      if (held_.size() <= keep) return;
      unit_done_.wait(lock, [&front] { return front.done; });
    }
    std::unique_ptr<Unit> unit = std::move(held_.front());
    held_.pop_front();
    lock.unlock();
    unit->output.replay();
    if (unit->error) {
      stop();
      std::rethrow_exception(unit->error);
    }
    unit->after();
    lock.lock();
  }
}

void OrderedWork::work() {
  for (;;) {
    Unit* unit = nullptr;
    {
      std::unique_lock<std::mutex> lock(mutex_);
      work_ready_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
      if (stopping_) return;
      unit = queue_.front();
      queue_.pop_front();
    }
    {
      output_order_key(unit->number);
      ConsoleCapture capture(&unit->output);
      try {
        unit->there();
      } catch (...) {
        unit->error = std::current_exception();
      }
      unit->there = nullptr;  // frees what the step held as soon as it is done
    }
    {
      std::lock_guard<std::mutex> lock(mutex_);
      unit->done = true;
    }
    unit_done_.notify_all();
  }
}

unsigned hardware_threads() { return std::max(1u, std::thread::hardware_concurrency()); }

}  // namespace vorel
