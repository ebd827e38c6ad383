// Output files, written whole or not at all.
//
// Every output opens under a temporary name in its target's directory
// (".vorelcov-<pid>-<n>.tmp", created new and never through a symbolic link)
// and is renamed into place when it is finished. Inside a transaction the
// renames wait for output_commit, so a run puts its whole report in place
// only when everything succeeded; output_abandon removes every temporary file
// of a failed run and leaves the previous outputs as they were. A rename
// replaces a symbolic link at the target instead of writing through it.
//
// The run's lock serialises runs that write in one directory. Outputs may be
// opened and finished on several threads at once.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace vorel {

// ---- files ----

// Opens `path` for writing. Returns nullptr (errno set) when it cannot be
// created: its directory is missing or not writable, or `path` names a
// directory or an existing file that may not be written. An existing file's
// permission bits carry over to the new one. With `allow_device` a `path`
// that leads to a device or a pipe (a name the user gave, /dev/stdout) is
// written directly, without a temporary file.
std::FILE* output_open(const std::string& path, bool allow_device = false);
// output_open for bytes written as they are (images): a text stream (what
// output_open gives) writes CR LF for LF on Windows.
std::FILE* output_open_binary(const std::string& path);

// Flushes and closes a stream from output_open; false when a write, the
// flush or the close failed (the temporary file is then removed). Outside a
// transaction the file is renamed into place at once (false when that fails).
bool output_finish(std::FILE* stream);

// Orders the outputs of work spread over threads: the outputs this thread
// opens from now on are put in place after those opened under a smaller key
// (every thread starts at 0), and in opening order within one key.
void output_order_key(uint64_t key);

// ---- the run's transaction ----

// From now on finished files wait for output_commit.
void output_begin();

// Renames every finished file into place, in the order they were finished.
// False when a file is still open or a rename fails: `*failed` names its
// target, files renamed before stay and the rest are removed.
bool output_commit(std::string* failed);

// Closes every open output, removes every temporary file not yet in place
// and the directories made by output_directory that stayed empty.
void output_abandon();

// ---- directories and the lock ----

enum class DirectoryState { kReady, kSymlink, kUnusable };

// Makes sure `path` is a directory to write in: made when missing (removed
// again by output_abandon when it stays empty), refused when it is a
// symbolic link. kUnusable: it could not be made (the file opens then fail).
DirectoryState output_directory(const std::string& path);

enum class LockState { kAcquired, kBusy, kUnsupported };

// Takes the exclusive advisory lock of directory `path` (held until the
// process ends). With `wait` false a lock held by another process gives
// kBusy at once; kUnsupported when the file system has no such locks.
LockState lock_directory(const std::string& path, bool wait);

}  // namespace vorel
