#include "import_gcov/gcov_runner.h"

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <new>
#include <set>
#include <thread>

#include "import_gcov/import.h"
#include "platform/process.h"

namespace import_gcov {

namespace {

std::string joined(const std::vector<std::string>& words) {
  std::string out;
  for (const std::string& w : words) out += (out.empty() ? "" : " ") + w;
  return out;
}

// gcov's standard error without the note it prints for each unit read
// through its .gcno alone ("<unit>.gcda:cannot open data file, assuming not
// executed"): that unit never ran, which is expected.
std::string without_never_run_notes(const std::string& err, const GcovBatch& batch) {
  std::set<std::string> expected;
  for (const std::string& f : batch.files)
    if (f.size() > 5 && f.compare(f.size() - 5, 5, ".gcno") == 0)
      expected.insert(f.substr(0, f.size() - 5) + ".gcda:cannot open data file, assuming not executed");
  std::string out;
  for (size_t at = 0; at < err.size();) {
    size_t end = err.find('\n', at);
    if (end == std::string::npos) end = err.size();
    std::string line = err.substr(at, end - at);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty() && !expected.count(line)) out += line + "\n";
    at = end + 1;
  }
  return out;
}

// What gcov said, for a message: its first lines on one line.
std::string quoted(const std::string& messages) {
  if (messages.empty()) return "";
  std::string text = messages.substr(0, 2000);
  std::replace(text.begin(), text.end(), '\n', ' ');
  while (!text.empty() && text.back() == ' ') text.pop_back();
  return ": " + text;
}

bool run_batch(const GcovBatch& batch, const GcovRunOptions& options, const std::string& cwd,
               GcovBatchResult* result, std::string* error) {
  std::vector<std::string> argv = options.command;
  // -b -c: the branch arcs with their counts, as lcov asks for them.
  argv.insert(argv.end(), {"-b", "-c", "--json-format", "--stdout", "-o", batch.object_directory});
  argv.insert(argv.end(), batch.files.begin(), batch.files.end());
  vorel::ProcessOutput run;
  std::string reason;
  const std::string gcov = joined(options.command);
  if (!vorel::run_process(argv, cwd, kMaxJsonBytes, &run, &reason)) {
    *error = "cannot run " + gcov + ": " + reason +
             " (reading a build tree needs gcov, which comes with gcc; --gcov-executable names another)";
    return false;
  }
  result->messages = without_never_run_notes(run.err, batch);
  if (!run.exited) {
    *error = run.out.size() > kMaxJsonBytes
                 ? batch.object_directory + ": " + gcov + " wrote more than 4 GiB of JSON"
                 : batch.object_directory + ": " + gcov + " was ended by signal " + std::to_string(run.status);
    return false;
  }
  if (run.status != 0) {
    *error = batch.object_directory + ": " + gcov + " failed (exit status " + std::to_string(run.status) + ")" +
             quoted(result->messages);
    return false;
  }
  if (!parse_gcov_documents(run.out, &result->units, &reason)) {
    *error = batch.object_directory + ": the output of " + gcov + " --json-format --stdout is " + reason;
    return false;
  }
  if (result->units.size() != batch.files.size()) {
    *error = batch.object_directory + ": " + gcov + " gave " + std::to_string(result->units.size()) +
             " JSON documents for " + std::to_string(batch.files.size()) + " units" + quoted(result->messages);
    return false;
  }
  // A unit gcov could not read comes back without a working directory and
  // without files.
  for (size_t i = 0; i < batch.files.size(); ++i)
    if (result->units[i].current_working_directory.empty()) {
      *error = batch.files[i] + ": " + gcov + " read no coverage data" + quoted(result->messages);
      return false;
    }
  return true;
}

struct Slot {
  bool done = false, ok = false, out_of_memory = false;
  GcovBatchResult result;
  std::string error;
};

void run_slot(const GcovBatch& batch, const GcovRunOptions& options, const std::string& cwd, Slot* slot) {
  try {
    slot->ok = run_batch(batch, options, cwd, &slot->result, &slot->error);
  } catch (const std::bad_alloc&) {
    slot->out_of_memory = true;
    slot->result = GcovBatchResult{};
  }
}

}  // namespace

std::vector<std::string> split_command(const std::string& text) {
  std::vector<std::string> words;
  size_t at = 0;
  while ((at = text.find_first_not_of(" \t", at)) != std::string::npos) {
    size_t end = text.find_first_of(" \t", at);
    if (end == std::string::npos) end = text.size();
    words.push_back(text.substr(at, end - at));
    at = end;
  }
  return words;
}

bool run_gcov_batches(const std::vector<GcovBatch>& batches, const GcovRunOptions& options, const TakeBatch& take,
                      std::string* error) {
  if (batches.empty()) return true;
  vorel::ScratchDirectory scratch;
  std::string reason;
  if (!scratch.create(&reason)) {
    *error = "cannot make a directory for gcov to run in: " + reason;
    return false;
  }
  const size_t n = batches.size();
  const unsigned jobs = static_cast<unsigned>(std::clamp<size_t>(options.jobs, 1, n));
  // Workers run ahead of the batch being taken by at most this many, so
  // that memory stays bounded however large the tree.
  const size_t window = size_t{2} * jobs;
  std::vector<Slot> slots(n);
  std::mutex mutex;
  std::condition_variable changed;
  size_t next = 0, taken = 0;
  bool stop = false;
  auto work = [&] {
    for (;;) {
      size_t i;
      {
        std::unique_lock<std::mutex> lock(mutex);
        changed.wait(lock, [&] { return stop || next >= n || next < taken + window; });
        if (stop || next >= n) return;
        i = next++;
      }
      Slot result;
      run_slot(batches[i], options, scratch.path(), &result);
      std::lock_guard<std::mutex> lock(mutex);
      slots[i] = std::move(result);
      slots[i].done = true;
      changed.notify_all();
    }
  };
  // Stops and joins the workers however this function is left.
  struct Workers {
    std::mutex& mutex;
    std::condition_variable& changed;
    bool& stop;
    std::vector<std::thread> threads;
    ~Workers() {
      {
        std::lock_guard<std::mutex> lock(mutex);
        stop = true;
        changed.notify_all();
      }
      for (std::thread& t : threads) t.join();
    }
  } workers{mutex, changed, stop, {}};
  if (jobs > 1)
    for (unsigned j = 0; j < jobs; ++j) workers.threads.emplace_back(work);
  bool ok = true, out_of_memory = false;
  for (size_t i = 0; i < n && ok; ++i) {
    Slot slot;
    if (jobs > 1) {
      std::unique_lock<std::mutex> lock(mutex);
      changed.wait(lock, [&] { return slots[i].done; });
      slot = std::move(slots[i]);
      slots[i] = Slot{};
      taken = i + 1;
      changed.notify_all();
    } else {
      run_slot(batches[i], options, scratch.path(), &slot);
    }
    out_of_memory = slot.out_of_memory;
    if (out_of_memory) ok = false;
    else if (!slot.ok) *error = slot.error, ok = false;
    else ok = take(batches[i], slot.result, error);
  }
  if (out_of_memory) throw std::bad_alloc();
  return ok;
}

}  // namespace import_gcov
