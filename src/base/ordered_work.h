// Units of work spread over worker threads, finished in the order given.
//
// Each unit has three steps: `here` runs at once on the calling thread,
// `there` later on a worker, `after` on the calling thread once the unit is
// done and every earlier unit has been finished. The console output of
// `here` and `there` is captured (console_buffer.h) and written just before
// `after` runs, so standard output and standard error read exactly as when
// the units run one after the other on one thread.
//
// A step that throws (a fatal stop, an allocation failure) ends its unit:
// the earlier units are finished, the unit's own output up to the throw is
// written, and the exception comes out of add() or finish() on the calling
// thread; no later unit's output is written and its `after` never runs.
//
// With one thread (or none) every step runs inline in add(), uncaptured:
// the order of a run without the pool.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "base/console_buffer.h"

namespace vorel {

class OrderedWork {
 public:
  using Step = std::function<void()>;

  // `threads` workers; at most `window` units (at least one per worker) are
  // held unfinished at a time, so their memory stays bounded.
  explicit OrderedWork(unsigned threads, size_t window = 0);
  // Stops the workers; units not finished are dropped without output.
  ~OrderedWork();
  OrderedWork(const OrderedWork&) = delete;
  OrderedWork& operator=(const OrderedWork&) = delete;

  void add(const Step& here, Step there, Step after);
  // Waits for every unit and finishes it.
  void finish();

 private:
  struct Unit {
    uint64_t number = 0;
    ConsoleBuffer output;
    Step there;
    Step after;
    std::exception_ptr error;
    bool done = false;
  };

  void work();
  // Finishes the units at the front while more than `keep` are held; waits
  // for a unit still running only when it must.
  void finish_front(std::unique_lock<std::mutex>& lock, size_t keep);
  void stop();

  size_t window_;
  std::vector<std::thread> workers_;
  std::mutex mutex_;
  std::condition_variable work_ready_;
  std::condition_variable unit_done_;
  std::deque<std::unique_ptr<Unit>> held_;  // unfinished, in order
  std::deque<Unit*> queue_;                 // waiting for a worker
  bool stopping_ = false;
};

// The number of worker threads the hardware runs at once (at least 1).
unsigned hardware_threads();

}  // namespace vorel
