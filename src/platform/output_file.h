// Output files, written whole or not at all.
//
// A file opens under a temporary name in its target's directory
// (".vorelcov-<token>-<n>.tmp", created new and never through a symbolic
// link; the token is random per run) and is renamed into place when it is
// finished. Inside a transaction the renames wait for output_commit, so a run
// puts its whole output in place only when everything succeeded.
//
// A staged directory (output_stage_directory) is replaced whole: its files
// are written under their own names into a fresh sibling directory
// (".vorelcov-<token>-<n>.dir"), which the commit puts in place with two
// renames; files of the old directory that the run did not write are carried
// over first (hard links). The transaction keeps a record in its home
// directory: the directories where it makes temporary names, and, during the
// commit, the renames still to do. A run stopped by a signal removes its
// temporary files itself; after one killed outright, the next run holding the
// home directory's lock finishes the interrupted commit or removes what the
// dead run left. docs/ARCHITECTURE.md ("Outputs") tells the whole design.
//
// Outputs may be opened and finished on several threads at once.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace vorel {

// ---- files ----

// Opens `path` for writing. Returns nullptr (errno set) when it cannot be
// created: its directory is missing or not writable, or `path` names a
// directory or an existing file that may not be written. An existing file's
// permission bits carry over to the new one; a symbolic link at `path` is
// replaced. A `named` output (a name the user gave) follows symbolic links
// and replaces the file they lead to; one that is or leads to anything but a
// file or a missing name (a device, a FIFO, /dev/stdout) is written directly,
// without a temporary file.
std::FILE* output_open(const std::string& path, bool named = false);
// output_open for bytes written as they are (images, profile files): a text
// stream (what output_open gives) writes CR LF for LF on Windows.
std::FILE* output_open_binary(const std::string& path, bool named = false);

// Flushes and closes a stream from output_open; false when a write, the
// flush or the close failed (the temporary file is then removed). Outside a
// transaction the file is renamed into place at once (false when that fails).
bool output_finish(std::FILE* stream);

// Orders the outputs of work spread over threads: the outputs this thread
// opens from now on are put in place after those opened under a smaller key
// (every thread starts at 0), and in opening order within one key.
void output_order_key(uint64_t key);

// ---- the run's transaction ----

enum class LockState { kAcquired, kBusy, kUnsupported };

// Starts the transaction. Takes the exclusive advisory lock of each of
// `directories` (in a fixed order; the first is the home, where the record
// is kept), calling `on_wait` with a directory's name before waiting for a
// lock another process holds. Then finishes or removes what dead runs left
// in the home and removes the temporary files of a stop (SIGINT, SIGTERM)
// from now on. Finished files wait for output_commit.
void output_begin(const std::vector<std::string>& directories, void (*on_wait)(const std::string&));

// Puts every finished file and staged directory in place. False when a file
// is still open or a step fails: `*failed` names its target; the outputs not
// yet in place are removed.
bool output_commit(std::string* failed);

// Closes every open output and removes every temporary file and staged
// directory not yet in place: the previous outputs stay as they were.
void output_abandon();

// ---- directories ----

enum class DirectoryState { kReady, kSymlink, kUnusable };

// Makes sure `path` is a directory to write in: inside a transaction it is
// staged (see above), else made when missing. kSymlink: a symbolic link
// there is refused; kUnusable: something else is there, or it cannot be made
// (opening a file in it fails then).
DirectoryState output_directory(const std::string& path);

// ---- names ----

// Whether two names lead to one file (links followed when `follow`): the same
// file when they exist, the same absolute name (directories' links resolved)
// when not. Two names of one device, FIFO or socket (a terminal, /dev/null,
// a pipe) do not count: writers there do not overwrite each other.
bool same_file(const std::string& a, bool follow_a, const std::string& b, bool follow_b);
// Whether output_open(path, true) would write `path` directly (a device, a
// FIFO, a descriptor link): no temporary name, lock or record is needed there.
bool written_directly(const std::string& path);
// Whether `path` lies (at any depth) in directory `dir`.
bool inside_directory(const std::string& path, const std::string& dir);

}  // namespace vorel
