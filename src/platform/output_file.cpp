#include "platform/output_file.h"

#include <cerrno>
#include <vector>

#include "platform/output_sys.h"

namespace vorel {

namespace {

namespace sys = output_sys;

enum class Stage { kOpen, kFinished, kDone };

struct Output {
  std::FILE* stream = nullptr;
  std::string temp;
  std::string target;
  Stage stage = Stage::kOpen;
  bool direct = false;  // written in place: a device or a pipe
};

struct Outputs {
  std::vector<Output> files;
  std::vector<std::string> made_directories;
  bool in_transaction = false;
  unsigned next_number = 0;

  // A process that ends without commit (a stop that skipped the driver's
  // clean-up) leaves no temporary file.
  ~Outputs() { abandon(); }

  void abandon() {
    for (Output& f : files) {
      if (f.stream) std::fclose(f.stream);
      if (f.stage != Stage::kDone && !f.direct) sys::remove_file(f.temp);
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

std::string directory_prefix(const std::string& path) {
  size_t slash = path.find_last_of(sys::kSeparators);
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

Output* find(std::FILE* stream) {
  for (Output& f : outputs().files)
    if (f.stream == stream) return &f;
  return nullptr;
}

// A device or a pipe is opened as it is; nothing can be put in place there.
std::FILE* open_direct(const std::string& path) {
  std::FILE* stream = sys::open_device(path);
  if (!stream) return nullptr;
  Output out{stream, "", path, Stage::kOpen};
  out.direct = true;
  outputs().files.push_back(out);
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
  const std::string prefix =
      directory_prefix(path) + ".vorelcov-" + std::to_string(sys::process_id()) + "-";
  std::string temp;
  std::FILE* stream = nullptr;
  // A name left by an earlier process of the same number is skipped; the
  // attempts are bounded, as a system may report EEXIST for a name that can
  // never be created.
  for (int attempt = 0; attempt < 1000; ++attempt) {
    temp = prefix + std::to_string(all.next_number++) + ".tmp";
    stream = sys::create_new(temp, kind == sys::Kind::kFile, mode, binary);
    if (stream || errno != EEXIST) break;
  }
  if (!stream) return nullptr;
  all.files.push_back(Output{stream, temp, path, Stage::kOpen});
  return stream;
}

}  // namespace

std::FILE* output_open(const std::string& path, bool allow_device) {
  return open_output(path, allow_device, false);
}

std::FILE* output_open_binary(const std::string& path) { return open_output(path, false, true); }

bool output_finish(std::FILE* stream) {
  Output* f = find(stream);
  if (!f) return false;
  bool ok = std::fflush(stream) == 0 && std::ferror(stream) == 0;
  ok = std::fclose(stream) == 0 && ok;
  f->stream = nullptr;
  if (f->direct) {
    f->stage = Stage::kDone;
    return ok;
  }
  if (ok && !outputs().in_transaction) ok = sys::rename_over(f->temp, f->target);
  if (!ok) {
    sys::remove_file(f->temp);
    f->stage = Stage::kDone;
    return false;
  }
  f->stage = outputs().in_transaction ? Stage::kFinished : Stage::kDone;
  return true;
}

void output_begin() { outputs().in_transaction = true; }

bool output_commit(std::string* failed) {
  Outputs& all = outputs();
  for (const Output& f : all.files) {
    if (f.stage != Stage::kOpen) continue;
    if (failed) *failed = f.target;
    all.abandon();
    return false;
  }
  for (Output& f : all.files) {
    if (f.stage != Stage::kFinished) continue;
    if (!sys::rename_over(f.temp, f.target)) {
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

void output_abandon() { outputs().abandon(); }

DirectoryState output_directory(const std::string& path) {
  const sys::Kind kind = sys::kind_of(path, false);
  if (kind == sys::Kind::kLink) return DirectoryState::kSymlink;
  if (kind != sys::Kind::kMissing)
    return kind == sys::Kind::kDirectory ? DirectoryState::kReady : DirectoryState::kUnusable;
  if (!sys::make_directory(path)) return DirectoryState::kUnusable;
  outputs().made_directories.push_back(path);
  return DirectoryState::kReady;
}

LockState lock_directory(const std::string& path, bool wait) { return sys::lock(path, wait); }

}  // namespace vorel
