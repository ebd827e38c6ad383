#include "platform/output_file.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <deque>
#include <mutex>
#include <vector>

namespace vorel {

namespace {

enum class Stage { kOpen, kFinished, kDone };

std::string directory_prefix(const std::string& path) {
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// ".vorelcov-<pid>-<n>.tmp" in the directory of `target`.
std::string temp_name(const std::string& target, unsigned number) {
  return directory_prefix(target) + ".vorelcov-" + std::to_string(::getpid()) + "-" +
         std::to_string(number) + ".tmp";
}

struct Output {
  std::FILE* stream = nullptr;
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
      if (f.stage != Stage::kDone && !f.direct) ::unlink(temp_name(f.target, f.number).c_str());
    }
    files.clear();
    for (auto it = made_directories.rbegin(); it != made_directories.rend(); ++it)
      ::rmdir(it->c_str());
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

int lock_fd = -1;

// A device or a pipe is opened as it is; nothing can be put in place there.
std::FILE* open_direct(const std::string& path) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
  if (fd < 0) return nullptr;
  std::FILE* stream = ::fdopen(fd, "w");
  if (!stream) {
    ::close(fd);
    return nullptr;
  }
  Output out{stream, 0, path, Stage::kOpen};
  out.direct = true;
  add_output(std::move(out));
  return stream;
}

}  // namespace

std::FILE* output_open(const std::string& path, bool allow_device) {
  struct stat st {};
  if (allow_device && ::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode))
    return open_direct(path);
  bool keep_mode = false;
  if (::lstat(path.c_str(), &st) == 0) {
    if (S_ISDIR(st.st_mode)) {
      errno = EISDIR;
      return nullptr;
    }
    if (S_ISREG(st.st_mode)) {
      if (::access(path.c_str(), W_OK) != 0) return nullptr;
      keep_mode = true;
    }
  }
  Outputs& all = outputs();
  std::string temp;
  unsigned number = 0;
  int fd = -1;
  do {
    number = all.next_number.fetch_add(1);
    temp = temp_name(path, number);
    fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
  } while (fd < 0 && errno == EEXIST);
  if (fd < 0) return nullptr;
  if (keep_mode) (void)::fchmod(fd, st.st_mode & 07777);
  std::FILE* stream = ::fdopen(fd, "w");
  if (!stream) {
    const int saved = errno;
    ::close(fd);
    ::unlink(temp.c_str());
    errno = saved;
    return nullptr;
  }
  add_output(Output{stream, number, path, Stage::kOpen});
  return stream;
}

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
    if (ok && !in_transaction) ok = ::rename(temp.c_str(), f->target.c_str()) == 0;
    if (!ok)
      ::unlink(temp.c_str());
    else if (in_transaction)
      stage = Stage::kFinished;
  }
  std::lock_guard<std::mutex> lock(all.mutex);
  f->stream = nullptr;
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
    if (::rename(temp_name(f.target, f.number).c_str(), f.target.c_str()) != 0) {
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
  struct stat st {};
  if (::lstat(path.c_str(), &st) == 0) {
    if (S_ISLNK(st.st_mode)) return DirectoryState::kSymlink;
    return S_ISDIR(st.st_mode) ? DirectoryState::kReady : DirectoryState::kUnusable;
  }
  if (::mkdir(path.c_str(), 0777) != 0) return DirectoryState::kUnusable;
  Outputs& all = outputs();
  std::lock_guard<std::mutex> lock(all.mutex);
  all.made_directories.push_back(path);
  return DirectoryState::kReady;
}

LockState lock_directory(const std::string& path, bool wait) {
  if (lock_fd < 0) lock_fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (lock_fd < 0) return LockState::kUnsupported;
  while (::flock(lock_fd, LOCK_EX | (wait ? 0 : LOCK_NB)) != 0) {
    if (errno == EINTR) continue;
    return errno == EWOULDBLOCK ? LockState::kBusy : LockState::kUnsupported;
  }
  return LockState::kAcquired;
}

}  // namespace vorel
