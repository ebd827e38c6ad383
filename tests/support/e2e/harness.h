// End-to-end test harness: runs the built vorelcov binary in a directory and
// captures its exit status, standard output and standard error.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace e2e {

struct RunResult {
  int status = -1;        // exit status; 128 + signal number when killed
  bool signaled = false;
  std::string out;        // everything written to stdout
  std::string err;        // everything written to stderr
};

// Environment changes for one run: a value sets the variable, nullopt unsets
// it (VOREL_PROF_SRC_ROOT is unset unless set here). On Windows the harness
// selects the POSIX naming rules unless a test sets VORELCOV_HOST_RULES;
// kHostsOwnRules keeps the host's rules, under which expected texts show
// source names by host_name/host_names.
using EnvChanges = std::vector<std::pair<std::string, std::optional<std::string>>>;
inline const EnvChanges kHostsOwnRules = {{"VORELCOV_HOST_RULES", std::nullopt}};

// Runs vorelcov with `args` (word 0 is added) in directory `cwd`; the
// streams come back in their LF form (text_form). On Windows a hung run is
// ended after two minutes (status -1).
RunResult run_vorelcov(const std::vector<std::string>& args, const std::string& cwd,
                       const EnvChanges& env = {});

// Runs the program `bin` the same way.
RunResult run_program(const std::string& bin, const std::vector<std::string>& args, const std::string& cwd,
                      const EnvChanges& env = {});

// Path of the built binaries and of the source tree.
std::string vorelcov_path();
std::string importer_path();
std::string source_dir();

// The LF form of a text output: on Windows CR LF becomes LF and a bare LF is
// marked "<LF without CR>"; elsewhere the text as it is.
std::string text_form(const std::string& text);

// A fresh directory under $TMPDIR, removed with everything in it at the end.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& path() const { return path_; }
  // path() + "/" + name
  std::string file(const std::string& name) const;
  // The content of file(name), or "<missing name>".
  std::string read(const std::string& name) const;
  // A text output file(name) in its LF form (text_form).
  std::string text(const std::string& name) const { return text_form(read(name)); }

 private:
  std::string path_;
};

// Whole-file helpers (binary). read_file returns nullopt when the file is missing.
std::optional<std::string> read_file(const std::string& path);
void write_file(const std::string& path, const std::string& content);
bool file_exists(const std::string& path);
// The path of `program` on PATH, or "" when it is not there (the harness
// runs programs by path): tests of other tools skip without them.
std::string on_path(const std::string& program);
// What `xmllint --noout` says about the file at `path`: "" when it is
// well-formed XML (always "" on Windows, where xmllint is not at hand).
std::string xml_lint(const std::string& path);
// Names of the entries of a directory, sorted.
std::vector<std::string> list_dir(const std::string& path);
// The bundled example's directory at `to`: a symbolic link on POSIX, a copy
// on Windows (where links need privileges).
bool place_demo(const std::string& to);

// An expected text output with every LF as CR LF on Windows.
std::string host_text(std::string text);
// A source name as shown under the host's own rules: upper case with '\\'
// on Windows, unchanged elsewhere.
std::string host_name(std::string name);
// `text` with every occurrence of each of `names` replaced by its host_name.
std::string host_names(std::string text, const std::vector<std::string>& names);

}  // namespace e2e
