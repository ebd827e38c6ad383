#include "e2e/harness.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace e2e {

namespace {
// Paths are UTF-8 in the tests as in the program.
std::filesystem::path native(const std::string& path) {
  return std::filesystem::path(std::u8string(path.begin(), path.end()));
}
}  // namespace

std::string vorelcov_path() { return VORELCOV_BIN; }
std::string importer_path() { return VORELCOV_IMPORT_BIN; }
std::string source_dir() { return VORELCOV_SOURCE_DIR; }

RunResult run_vorelcov(const std::vector<std::string>& args, const std::string& cwd,
                       const EnvChanges& env) {
  return run_program(vorelcov_path(), args, cwd, env);
}

TempDir::~TempDir() {
  std::error_code ec;
  std::filesystem::remove_all(native(path_), ec);
}

std::string TempDir::file(const std::string& name) const { return path_ + "/" + name; }

std::string TempDir::read(const std::string& name) const {
  return read_file(file(name)).value_or("<missing " + name + ">");
}

std::optional<std::string> read_file(const std::string& path) {
  std::ifstream in(native(path), std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

void write_file(const std::string& path, const std::string& content) {
  std::ofstream out(native(path), std::ios::binary | std::ios::trunc);
  if (!out) throw std::runtime_error("cannot write " + path);
  out << content;
}

bool file_exists(const std::string& path) {
  std::error_code ec;
  return std::filesystem::exists(native(path), ec);
}

std::vector<std::string> list_dir(const std::string& path) {
  std::vector<std::string> names;
  std::error_code ec;
  for (const auto& e : std::filesystem::directory_iterator(native(path), ec)) {
    std::u8string name = e.path().filename().u8string();
    names.emplace_back(name.begin(), name.end());
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::string text_form(const std::string& text) {
#ifdef _WIN32
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) out += "<LF without CR>";
    out.push_back(text[i]);
  }
  return out;
#else
  return text;
#endif
}

std::string host_name(std::string name) {
#ifdef _WIN32
  for (char& c : name) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (c == '/') c = '\\';
  }
#endif
  return name;
}

std::string host_names(std::string text, const std::vector<std::string>& names) {
  for (const std::string& name : names) {
    const std::string shown = host_name(name);
    for (size_t at = 0; (at = text.find(name, at)) != std::string::npos; at += shown.size())
      text.replace(at, name.size(), shown);
  }
  return text;
}

std::string host_text(std::string text) {
#ifdef _WIN32
  std::string out;
  out.reserve(text.size() + text.size() / 16);
  for (char c : text) {
    if (c == '\n') out.push_back('\r');
    out.push_back(c);
  }
  return out;
#else
  return text;
#endif
}

std::string on_path(const std::string& program) {
#ifdef _WIN32
  const char separator = ';';
#else
  const char separator = ':';
#endif
  const char* path = std::getenv("PATH");
  for (std::string dirs = path ? path : ""; !dirs.empty();) {
    const size_t end = dirs.find(separator);
    const std::string candidate = dirs.substr(0, end) + "/" + program;
    if (std::filesystem::exists(native(candidate))) return candidate;
    dirs = end == std::string::npos ? "" : dirs.substr(end + 1);
  }
  return "";
}

}  // namespace e2e
