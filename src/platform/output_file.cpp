#include "platform/output_file.h"

#include <cerrno>

#include <algorithm>
#include <atomic>
#include <deque>
#include <memory>
#include <new>
#include <mutex>
#include <vector>

#include "platform/output_sys.h"

namespace vorel {

namespace {

namespace sys = output_sys;

enum class Stage { kOpen, kFinished, kDone };

std::string directory_prefix(const std::string& path) {
  size_t slash = path.find_last_of(sys::kSeparators);
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// ".vorelcov-<pid>-<n>.tmp" in the directory of `target`.
std::string temp_name(const std::string& target, unsigned number) {
  return directory_prefix(target) + ".vorelcov-" + std::to_string(sys::process_id()) + "-" +
         std::to_string(number) + ".tmp";
}

// Stream buffer of an output file: given to the stream, so the library
// does not ask the system for the file's block size first.
constexpr size_t kStreamBuffer = 64 * 1024;

struct Output {
  std::FILE* stream = nullptr;
  std::unique_ptr<char[]> buffer;  // the stream's, freed after it is closed
  unsigned number = 0;  // of the temporary name (temp_name), kept instead of the name
  std::string target;
  Stage stage = Stage::kOpen;
  bool direct = false;  // written in place: a device or a pipe
  uint64_t order = 0;   // output_order_key of the opening thread
};

// The outputs of the run; `mutex` guards the lists (a deque: an entry stays
// in place while others are added). Streams are written, flushed and closed
// outside the lock, each by the one thread that opened it.
struct Outputs {
  std::mutex mutex;
  std::deque<Output> files;
  std::vector<std::string> made_directories;
  bool in_transaction = false;
  std::atomic<unsigned> next_number{0};

  // A process that ends without commit (a stop that skipped the driver's
  // clean-up) leaves no temporary file.
  ~Outputs() { abandon(); }

  void abandon() {
    for (Output& f : files) {
      if (f.stream) std::fclose(f.stream);
      if (f.stage != Stage::kDone && !f.direct) sys::remove_file(temp_name(f.target, f.number));
    }
    files.clear();
    for (auto it = made_directories.rbegin(); it != made_directories.rend(); ++it)
      sys::remove_directory(*it);
    made_directories.clear();
    in_transaction = false;
  }
};

Outputs& outputs() {
  static Outputs all;
  return all;
}

thread_local uint64_t t_order = 0;

// The entry of an open stream (searched from the newest: a stream is mostly
// finished soon after it is opened). Call with the lock held.
Output* find(std::FILE* stream) {
  std::deque<Output>& files = outputs().files;
  for (auto it = files.rbegin(); it != files.rend(); ++it)
    if (it->stream == stream) return &*it;
  return nullptr;
}

void add_output(Output out) {
  Outputs& all = outputs();
  out.order = t_order;
  std::lock_guard<std::mutex> lock(all.mutex);
  all.files.push_back(std::move(out));
}

// A device or a pipe is opened as it is; nothing can be put in place there.
std::FILE* open_direct(const std::string& path) {
  std::FILE* stream = sys::open_device(path);
  if (!stream) return nullptr;
  Output out{stream, nullptr, 0, path, Stage::kOpen};
  out.direct = true;
  add_output(std::move(out));
  return stream;
}

std::FILE* open_output(const std::string& path, bool allow_device, bool binary) {
  if (allow_device) {
    const sys::Kind kind = sys::kind_of(path, true);
    if (kind != sys::Kind::kMissing && kind != sys::Kind::kFile && kind != sys::Kind::kDirectory)
      return open_direct(path);
  }
  unsigned mode = 0;
  const sys::Kind kind = sys::kind_of(path, false, &mode);
  if (kind == sys::Kind::kDirectory) {
    errno = EISDIR;
    return nullptr;
  }
  if (kind == sys::Kind::kFile && !sys::writable(path)) return nullptr;
  Outputs& all = outputs();
  unsigned number = 0;
  std::FILE* stream = nullptr;
  // A name left by an earlier process of the same number is skipped; the
  // attempts are bounded, as a system may report EEXIST for a name that can
  // never be created.
  for (int attempt = 0; attempt < 1000; ++attempt) {
    number = all.next_number.fetch_add(1);
    stream = sys::create_new(temp_name(path, number), kind == sys::Kind::kFile, mode, binary);
    if (stream || errno != EEXIST) break;
  }
  if (!stream) return nullptr;
  Output out{stream, nullptr, number, path, Stage::kOpen};
  out.buffer.reset(new (std::nothrow) char[kStreamBuffer]);
  if (out.buffer) std::setvbuf(stream, out.buffer.get(), _IOFBF, kStreamBuffer);
  add_output(std::move(out));
  return stream;
}

}  // namespace

std::FILE* output_open(const std::string& path, bool allow_device) {
  return open_output(path, allow_device, false);
}

std::FILE* output_open_binary(const std::string& path) { return open_output(path, false, true); }

bool output_finish(std::FILE* stream) {
  Outputs& all = outputs();
  Output* f = nullptr;
  bool in_transaction = false;
  {
    std::lock_guard<std::mutex> lock(all.mutex);
    f = find(stream);
    in_transaction = all.in_transaction;
  }
  if (!f) return false;
  // Only this thread uses *f until its stage changes.
  bool ok = std::fflush(stream) == 0 && std::ferror(stream) == 0;
  ok = std::fclose(stream) == 0 && ok;
  Stage stage = Stage::kDone;
  if (!f->direct) {
    const std::string temp = temp_name(f->target, f->number);
    if (ok && !in_transaction) ok = sys::rename_over(temp, f->target);
    if (!ok)
      sys::remove_file(temp);
    else if (in_transaction)
      stage = Stage::kFinished;
  }
  std::lock_guard<std::mutex> lock(all.mutex);
  f->stream = nullptr;
  f->buffer.reset();
  f->stage = stage;
  return ok;
}

void output_order_key(uint64_t key) { t_order = key; }

void output_begin() { outputs().in_transaction = true; }

bool output_commit(std::string* failed) {
  Outputs& all = outputs();
  std::lock_guard<std::mutex> lock(all.mutex);
  std::stable_sort(all.files.begin(), all.files.end(),
                   [](const Output& a, const Output& b) { return a.order < b.order; });
  for (const Output& f : all.files) {
    if (f.stage != Stage::kOpen) continue;
    if (failed) *failed = f.target;
    all.abandon();
    return false;
  }
  for (Output& f : all.files) {
    if (f.stage != Stage::kFinished) continue;
    if (!sys::rename_over(temp_name(f.target, f.number), f.target)) {
      if (failed) *failed = f.target;
      all.abandon();
      return false;
    }
    f.stage = Stage::kDone;
  }
  all.files.clear();
  all.made_directories.clear();
  all.in_transaction = false;
  return true;
}

void output_abandon() {
  Outputs& all = outputs();
  std::lock_guard<std::mutex> lock(all.mutex);
  all.abandon();
}

DirectoryState output_directory(const std::string& path) {
  const sys::Kind kind = sys::kind_of(path, false);
  if (kind == sys::Kind::kLink) return DirectoryState::kSymlink;
  if (kind != sys::Kind::kMissing)
    return kind == sys::Kind::kDirectory ? DirectoryState::kReady : DirectoryState::kUnusable;
  if (!sys::make_directory(path)) return DirectoryState::kUnusable;
  Outputs& all = outputs();
  std::lock_guard<std::mutex> lock(all.mutex);
  all.made_directories.push_back(path);
  return DirectoryState::kReady;
}

LockState lock_directory(const std::string& path, bool wait) { return sys::lock(path, wait); }

}  // namespace vorel
