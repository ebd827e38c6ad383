#include "platform/output_file.h"

#include <cerrno>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <deque>
#include <memory>
#include <mutex>
#include <new>
#include <random>
#include <set>
#include <shared_mutex>
#include <system_error>

#include "platform/output_sys.h"
#include "platform/whole_file.h"

namespace vorel {

namespace {

namespace sys = output_sys;
namespace fs = std::filesystem;

enum class Stage { kOpen, kFinished, kDone };

constexpr const char* kPrefix = ".vorelcov-";

std::string directory_prefix(const std::string& path) {
  size_t slash = path.find_last_of(sys::kSeparators);
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string utf8_name(const fs::path& path) {
  const std::u8string name = path.filename().u8string();
  return std::string(name.begin(), name.end());
}

// 16 hex digits, fresh for every process: a name left by a dead process of
// the same number (PID 1 in every container) does not collide.
const std::string& token() {
  static const std::string value = [] {
    uint64_t x = static_cast<uint64_t>(std::chrono::system_clock::now().time_since_epoch().count());
    x ^= static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()) << 17;
    x ^= static_cast<uint64_t>(sys::process_id()) * 0x9E3779B97F4A7C15ull;
    try {
      std::random_device device;
      x ^= (static_cast<uint64_t>(device()) << 32) ^ device();
    } catch (...) {  // no random device: the clocks and the process number serve
    }
    static const char kHex[] = "0123456789abcdef";
    std::string text(16, '0');
    for (char& c : text) {
      c = kHex[x & 15];
      x >>= 4;
    }
    return text;
  }();
  return value;
}

// "<dir>.vorelcov-<token><suffix>"
std::string own_name(const std::string& dir, const std::string& suffix) {
  return dir + kPrefix + token() + suffix;
}

bool is_hex_token(const std::string& name, size_t at) {
  if (name.size() < at + 16) return false;
  return std::all_of(name.begin() + static_cast<long>(at), name.begin() + static_cast<long>(at + 16),
                     [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); });
}

// ".vorelcov-<pid>-<n>.tmp", the names of earlier versions.
bool is_legacy_temporary(const std::string& name) {
  const size_t at = std::string(kPrefix).size();
  if (name.rfind(kPrefix, 0) != 0 || name.size() < at + 7 || name.substr(name.size() - 4) != ".tmp") return false;
  const std::string middle = name.substr(at, name.size() - at - 4);
  const size_t dash = middle.find('-');
  return dash > 0 && dash <= 10 && dash != std::string::npos && dash + 1 < middle.size() &&
         middle.find_first_not_of("0123456789-") == std::string::npos &&
         middle.find('-', dash + 1) == std::string::npos;
}

void remove_tree(const std::string& path) {
  std::error_code ec;
  fs::remove_all(sys::native(path), ec);
}

// NUL-terminated fields of a record file; an unfinished last field is left out.
std::vector<std::string> read_fields(const std::string& path) {
  std::string bytes, error;
  std::vector<std::string> fields;
  if (!read_whole_file(path, &bytes, &error)) return fields;
  for (size_t at = 0, end; (end = bytes.find('\0', at)) != std::string::npos; at = end + 1)
    fields.push_back(bytes.substr(at, end - at));
  return fields;
}

// Stream buffer of an output file: given to the stream, so the library
// does not ask the system for the file's block size first.
constexpr size_t kStreamBuffer = 64 * 1024;

struct Output {
  std::FILE* stream = nullptr;
  std::unique_ptr<char[]> buffer;  // the stream's, freed after it is closed
  std::string written;  // where the bytes go: a temporary name, or the name in a stage
  std::string target;
  Stage stage = Stage::kOpen;
  bool direct = false;    // written in place: a device or a pipe
  bool in_stage = false;  // goes in place with its staged directory
  uint64_t order = 0;     // output_order_key of the opening thread
};

// A directory replaced whole at the commit.
struct StagedDirectory {
  std::string target;  // as the run names it
  std::string stage;   // the fresh sibling the run writes in ("" until made)
  std::string aside;   // where the old directory goes during the commit
  bool usable = true;
  size_t files = 0;  // opened in the stage
};

// The outputs of the run. `mutex` guards the lists (deques: an entry stays
// in place while others are added); streams are written, flushed and closed
// outside the lock, each by the one thread that opened it. `gate` is held
// shared while a name is made and exclusively by the commit, the abandon and
// the stop, so none of them misses a file being created.
struct Outputs {
  std::shared_mutex gate;
  std::mutex mutex;
  std::deque<Output> files;
  std::deque<StagedDirectory> staged;
  bool in_transaction = false;
  bool stopping = false;  // a stop cleaned up: nothing is made or put in place any more
  std::atomic<unsigned> next_number{0};
  std::string record;  // the run record (absolute), "" without one
  std::FILE* record_stream = nullptr;
  std::set<std::string> noted;  // directories named in the record

  // A process that ends without commit (a stop that skipped the driver's
  // clean-up) leaves no temporary file.
  ~Outputs() { abandon(); }

  std::string commit_record() const { return record.empty() ? record : record.substr(0, record.size() - 4) + ".commit"; }

  // Writes `dir` into the run record before the first name is made there.
  bool note_directory(const std::string& dir) {
    if (!record_stream) return true;
    const std::string name = sys::absolute(dir.empty() ? "." : dir);
    if (noted.count(name)) return true;
    const bool ok = std::fwrite(name.c_str(), 1, name.size() + 1, record_stream) == name.size() + 1 &&
                    std::fflush(record_stream) == 0;
    if (ok) noted.insert(name);
    return ok;
  }

  // Removes every name of the run not yet in place; `close` closes the
  // streams too (not on a stop, where other threads may be writing them).
  void remove_all_temporaries(bool close) {
    for (Output& f : files) {
      if (close && f.stream) std::fclose(f.stream);
      if (close) f.stream = nullptr;
      if (f.stage != Stage::kDone && !f.direct && !f.in_stage) sys::remove_file(f.written);
    }
    for (const StagedDirectory& s : staged) {
      if (!s.stage.empty()) remove_tree(s.stage);
      if (!s.aside.empty() && sys::kind_of(s.aside, false) != sys::Kind::kMissing) {
        if (sys::kind_of(s.target, false) == sys::Kind::kMissing) sys::rename_over(s.aside, s.target);
        remove_tree(s.aside);
      }
    }
    if (!record.empty()) {
      sys::remove_file(commit_record());
      if (close && record_stream) std::fclose(record_stream);
      if (close) record_stream = nullptr;
      sys::remove_file(record);
    }
  }

  void abandon() {
    remove_all_temporaries(true);
    files.clear();
    staged.clear();
    record.clear();
    noted.clear();
    in_transaction = false;
  }

  StagedDirectory* staged_for(const std::string& path) {
    for (StagedDirectory& s : staged)
      if (path.size() > s.target.size() + 1 && path.compare(0, s.target.size(), s.target) == 0 &&
          std::string(sys::kSeparators).find(path[s.target.size()]) != std::string::npos)
        return &s;
    return nullptr;
  }

  // Makes the stage of `s` when it is not made yet; false (errno set) when
  // the directory cannot be written.
  bool make_stage(StagedDirectory& s) {
    if (!s.usable) {
      errno = ENOTDIR;
      return false;
    }
    if (!s.stage.empty()) return true;
    unsigned mode = 0;
    const sys::Kind kind = sys::kind_of(s.target, false, &mode);
    if (kind != sys::Kind::kMissing && kind != sys::Kind::kDirectory) {
      s.usable = false;
      errno = ENOTDIR;
      return false;
    }
    const std::string parent = directory_prefix(s.target);
    const std::string number = std::string("-").append(std::to_string(next_number.fetch_add(1)));
    std::string stage = own_name(parent, number + ".dir");
    if (!note_directory(parent) || !sys::make_directory(stage, kind == sys::Kind::kDirectory, mode)) {
      s.usable = false;
      return false;
    }
    s.stage = std::move(stage);
    s.aside = own_name(parent, number + ".old");
    return true;
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

std::FILE* add_output(Output out) {
  Outputs& all = outputs();
  out.order = t_order;
  if (!out.direct) {
    out.buffer.reset(new (std::nothrow) char[kStreamBuffer]);
    if (out.buffer) std::setvbuf(out.stream, out.buffer.get(), _IOFBF, kStreamBuffer);
  }
  std::FILE* stream = out.stream;
  std::lock_guard<std::mutex> lock(all.mutex);
  all.files.push_back(std::move(out));
  return stream;
}

std::FILE* open_output(const std::string& path, bool named, bool binary) {
  Outputs& all = outputs();
  std::shared_lock<std::shared_mutex> gate(all.gate);
  if (all.stopping) {
    errno = EINTR;
    return nullptr;
  }
  Output out;
  out.target = path;
  if (named) {
    const sys::Kind kind = sys::resolve(path, &out.target);
    if (kind == sys::Kind::kLink) return nullptr;
    if (kind == sys::Kind::kOther) {  // a device or a pipe: nothing can be put in place there
      out.stream = sys::open_device(path);
      out.direct = true;
      return out.stream ? add_output(std::move(out)) : nullptr;
    }
  }
  unsigned mode = 0;
  const sys::Kind kind = sys::kind_of(out.target, false, &mode);
  if (kind == sys::Kind::kDirectory) {
    errno = EISDIR;
    return nullptr;
  }
  if (kind == sys::Kind::kFile && !sys::writable(out.target)) return nullptr;
  {
    std::lock_guard<std::mutex> lock(all.mutex);
    if (StagedDirectory* s = all.staged_for(out.target)) {
      if (!all.make_stage(*s)) return nullptr;
      ++s->files;
      out.written = s->stage + out.target.substr(s->target.size());
      out.in_stage = true;
    } else if (!all.note_directory(directory_prefix(out.target))) {
      return nullptr;
    }
  }
  if (out.in_stage) {
    out.stream = sys::create_new(out.written, kind == sys::Kind::kFile, mode, binary);
    return out.stream ? add_output(std::move(out)) : nullptr;
  }
  // The attempts are bounded, as a system may report EEXIST for a name
  // that can never be created.
  for (int attempt = 0; attempt < 100 && !out.stream; ++attempt) {
    out.written = own_name(directory_prefix(out.target),
                           std::string("-").append(std::to_string(all.next_number.fetch_add(1))).append(".tmp"));
    out.stream = sys::create_new(out.written, kind == sys::Kind::kFile, mode, binary);
    if (!out.stream && errno != EEXIST) break;
  }
  return out.stream ? add_output(std::move(out)) : nullptr;
}

// Links (or copies) into `to` what `from` holds and `to` does not: the files
// of the old directory that the run did not write stay. Temporary names of
// earlier runs at the top are left behind.
bool carry_over(const fs::path& from, const fs::path& to, bool top) {
  std::error_code ec;
  fs::directory_iterator it(from, ec), end;
  for (; !ec && it != end; it.increment(ec)) {
    const fs::path& source = it->path();
    if (top && utf8_name(source).rfind(kPrefix, 0) == 0) continue;
    const fs::path dest = to / source.filename();
    const fs::file_status status = it->symlink_status(ec);
    if (ec) return false;
    const fs::file_status there = fs::symlink_status(dest, ec);
    ec.clear();
    if (fs::exists(there)) {
      if (fs::is_directory(there) && fs::is_directory(status) && !carry_over(source, dest, false)) return false;
      continue;
    }
    if (fs::is_symlink(status)) {
      fs::copy_symlink(source, dest, ec);
    } else if (fs::is_directory(status)) {
      fs::create_directory(dest, source, ec);
      if (!ec && !carry_over(source, dest, false)) return false;
    } else if (fs::is_regular_file(status)) {
      fs::create_hard_link(source, dest, ec);
      if (ec) {
        ec.clear();
        fs::copy_file(source, dest, ec);
      }
    }
    if (ec) return false;
  }
  return !ec;
}

void add_field(std::string& out, const std::string& field) {
  out += sys::absolute(field);
  out += '\0';
}

// Writes the commit record: the renames that put the run in place, for the
// next run to finish should this one be killed half-way.
bool write_commit_record(Outputs& all, const std::string& ops) {
  if (all.record.empty()) return true;
  const std::string temp = own_name(directory_prefix(all.record), "-commit.tmp");
  std::FILE* out = sys::create_new(temp, false, 0, true);
  if (!out) return false;
  bool ok = std::fwrite(ops.data(), 1, ops.size(), out) == ops.size();
  ok = std::fclose(out) == 0 && ok;
  ok = ok && sys::rename_over(temp, all.commit_record());
  if (!ok) sys::remove_file(temp);
  return ok;
}

// The steps of a commit record, done again: each step whose source is still
// there was not done yet.
void roll_forward(const std::vector<std::string>& ops) {
  for (size_t i = 0; i < ops.size();) {
    if (ops[i] == "D" && i + 3 < ops.size()) {
      const std::string &stage = ops[i + 1], &target = ops[i + 2], &aside = ops[i + 3];
      if (sys::kind_of(stage, false) == sys::Kind::kDirectory) {
        if (sys::kind_of(target, false) != sys::Kind::kMissing) sys::rename_over(target, aside);
        sys::rename_over(stage, target);
      } else if (sys::kind_of(target, false) == sys::Kind::kMissing) {
        sys::rename_over(aside, target);  // the stage is gone: the old directory goes back
      }
      i += 4;
    } else if (ops[i] == "F" && i + 2 < ops.size()) {
      if (sys::kind_of(ops[i + 1], false) == sys::Kind::kFile) sys::rename_over(ops[i + 1], ops[i + 2]);
      i += 3;
    } else {
      break;
    }
  }
}

// What dead runs left in `home` (the caller holds its lock): an interrupted
// commit is finished, every name of those runs removed.
void clean_after_dead_runs(const std::string& home) {
  std::error_code ec;
  std::vector<std::string> records, legacy;
  for (fs::directory_iterator it(sys::native(home), ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = utf8_name(it->path());
    const size_t at = std::string(kPrefix).size();
    if (name.rfind(kPrefix, 0) == 0 && is_hex_token(name, at) && name.substr(at + 16) == ".run")
      records.push_back(name.substr(at, 16));
    else if (is_legacy_temporary(name))
      legacy.push_back(home + "/" + name);
  }
  for (const std::string& path : legacy) sys::remove_file(path);
  for (const std::string& dead : records) {
    const std::string base = home + "/" + kPrefix + dead;
    roll_forward(read_fields(base + ".commit"));
    std::vector<std::string> dirs = read_fields(base + ".run");
    dirs.push_back(home);
    for (const std::string& dir : dirs) {
      std::vector<fs::path> left;
      for (fs::directory_iterator it(sys::native(dir), ec), end; !ec && it != end; it.increment(ec))
        if (utf8_name(it->path()).rfind(kPrefix + dead, 0) == 0 && utf8_name(it->path()) != kPrefix + dead + ".run")
          left.push_back(it->path());
      ec.clear();
      for (const fs::path& p : left) fs::remove_all(p, ec);
    }
    sys::remove_file(base + ".run");
  }
}

// On a stop: every name of the run not yet in place goes, and none is made
// or put in place after. On POSIX the locks stay held: the signal ends the
// process right after, before another thread can end it with a status of
// its own. Windows ends the process after the handler returns.
void clean_on_stop() {
  Outputs& all = outputs();
  all.gate.lock();
  all.mutex.lock();
  all.remove_all_temporaries(false);
  all.stopping = true;
#ifdef _WIN32
  all.mutex.unlock();
  all.gate.unlock();
#endif
}

}  // namespace

std::FILE* output_open(const std::string& path, bool named) { return open_output(path, named, false); }

std::FILE* output_open_binary(const std::string& path, bool named) { return open_output(path, named, true); }

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
    if (ok && !in_transaction && !f->in_stage) ok = sys::rename_over(f->written, f->target);
    if (!ok)
      sys::remove_file(f->written);
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

void output_begin(const std::vector<std::string>& directories, void (*on_wait)(const std::string&)) {
  Outputs& all = outputs();
  std::vector<std::pair<std::string, std::string>> order;  // absolute name, as given
  for (const std::string& dir : directories) order.emplace_back(sys::absolute(dir), dir);
  std::sort(order.begin(), order.end());  // one order for every process: no two wait on each other
  for (const auto& [absolute, dir] : order) {
    if (sys::lock(dir, false) != LockState::kBusy) continue;
    if (on_wait) on_wait(dir);
    sys::lock(dir, true);
  }
  sys::on_stop(clean_on_stop);
  std::unique_lock<std::shared_mutex> gate(all.gate);
  std::lock_guard<std::mutex> lock(all.mutex);
  all.in_transaction = true;
  if (directories.empty()) return;
  const std::string home = sys::absolute(directories.front());
  clean_after_dead_runs(home);
  all.record = own_name(home + "/", ".run");
  all.record_stream = sys::create_new(all.record, false, 0, true);
  if (!all.record_stream) all.record.clear();  // the run goes on; its outputs will tell
}

bool output_commit(std::string* failed) {
  Outputs& all = outputs();
  std::unique_lock<std::shared_mutex> gate(all.gate);
  std::lock_guard<std::mutex> lock(all.mutex);
  auto fail = [&](const std::string& name) {
    if (failed) *failed = name;
    all.abandon();
    return false;
  };
  if (all.stopping) {
    if (failed) failed->clear();
    return false;
  }
  std::stable_sort(all.files.begin(), all.files.end(),
                   [](const Output& a, const Output& b) { return a.order < b.order; });
  for (const Output& f : all.files)
    if (f.stage == Stage::kOpen) return fail(f.target);
  std::string ops;
  for (StagedDirectory& s : all.staged) {
    if (s.stage.empty()) continue;
    if (s.files == 0) {  // nothing written there: the directory stays as it is
      remove_tree(s.stage);
      s.stage.clear();
      continue;
    }
    if (sys::kind_of(s.target, false) == sys::Kind::kDirectory &&
        !carry_over(sys::native(s.target), sys::native(s.stage), true))
      return fail(s.target);
    ops.append("D", 2);
    for (const std::string* field : {&s.stage, &s.target, &s.aside}) add_field(ops, *field);
  }
  for (const Output& f : all.files) {
    if (f.stage != Stage::kFinished || f.in_stage) continue;
    ops.append("F", 2);
    add_field(ops, f.written);
    add_field(ops, f.target);
  }
  if (!write_commit_record(all, ops)) return fail(all.commit_record());
  for (StagedDirectory& s : all.staged) {
    if (s.stage.empty()) continue;
    const bool had_old = sys::kind_of(s.target, false) != sys::Kind::kMissing;
    if ((had_old && !sys::rename_over(s.target, s.aside)) || !sys::rename_over(s.stage, s.target))
      return fail(s.target);
    s.stage.clear();
  }
  for (Output& f : all.files) {
    if (f.stage != Stage::kFinished) continue;
    if (!f.in_stage && !sys::rename_over(f.written, f.target)) return fail(f.target);
    f.stage = Stage::kDone;
  }
  // In place: what is left is the old directories and the records.
  if (!all.record.empty()) sys::remove_file(all.commit_record());
  for (StagedDirectory& s : all.staged) remove_tree(s.aside);
  all.staged.clear();
  all.abandon();
  return true;
}

void output_abandon() {
  Outputs& all = outputs();
  std::unique_lock<std::shared_mutex> gate(all.gate);
  std::lock_guard<std::mutex> lock(all.mutex);
  all.abandon();
}

DirectoryState output_directory(const std::string& path) {
  Outputs& all = outputs();
  std::shared_lock<std::shared_mutex> gate(all.gate);
  std::lock_guard<std::mutex> lock(all.mutex);
  if (all.stopping) return DirectoryState::kUnusable;
  if (all.in_transaction) {
    if (StagedDirectory* s = all.staged_for(path)) {  // a directory inside a staged one
      if (!all.make_stage(*s)) return DirectoryState::kUnusable;
      const std::string inner = s->stage + path.substr(s->target.size());
      return sys::make_directory(inner) || sys::kind_of(inner, false) == sys::Kind::kDirectory
                 ? DirectoryState::kReady
                 : DirectoryState::kUnusable;
    }
  }
  const sys::Kind kind = sys::kind_of(path, false);
  if (kind == sys::Kind::kLink) return DirectoryState::kSymlink;
  if (all.in_transaction) {
    StagedDirectory* s = nullptr;
    for (StagedDirectory& known : all.staged)
      if (known.target == path) s = &known;
    if (!s) {
      s = &all.staged.emplace_back();
      s->target = path;
    }
    return all.make_stage(*s) ? DirectoryState::kReady : DirectoryState::kUnusable;
  }
  if (kind != sys::Kind::kMissing)
    return kind == sys::Kind::kDirectory ? DirectoryState::kReady : DirectoryState::kUnusable;
  return sys::make_directory(path) ? DirectoryState::kReady : DirectoryState::kUnusable;
}

bool same_file(const std::string& a, bool follow_a, const std::string& b, bool follow_b) {
  const sys::FileId x = sys::file_id(a, follow_a), y = sys::file_id(b, follow_b);
  if (x.stream && y.stream) return false;
  if (x.exists && y.exists && (x.device != 0 || x.inode != 0))
    return x.device == y.device && x.inode == y.inode;
  return x.canonical == y.canonical;
}

bool written_directly(const std::string& path) {
  std::string final;
  return sys::resolve(path, &final) == sys::Kind::kOther;
}

bool inside_directory(const std::string& path, const std::string& dir) {
  const sys::FileId d = sys::file_id(dir, false);
  std::string at = sys::file_id(path, true).canonical;
  for (size_t slash; (slash = at.find_last_of(sys::kSeparators)) != std::string::npos && slash > 0;) {
    at.resize(slash);
    if (at == d.canonical) return true;
  }
  return false;
}

}  // namespace vorel
