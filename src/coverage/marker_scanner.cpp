#include "coverage/marker_scanner.h"

#include <algorithm>
#include <array>
#include <cstdio>

#include "coverage/component.h"
#include "coverage/markers.h"
#include "base/diag.h"
#include "platform/file_open.h"
#include "platform/whole_file.h"

namespace vorel {

namespace {

enum class MarkerKind : uint32_t { kOneLine = 0, kBegin = 1, kEnd = 2, kNone = 4 };

struct CommentRecord {
  uint32_t start_line = 0;
  uint32_t end_line = 0;
  MarkerKind kind = MarkerKind::kNone;
};

std::string trimmed(const std::string& text) {
  static constexpr const char* kTrim = " /*\t\n";
  size_t first = text.find_first_not_of(kTrim);
  if (first == std::string::npos) return {};
  size_t last = text.find_last_not_of(kTrim);
  return text.substr(first, last - first + 1);
}

bool listed(const std::vector<std::string>& list, const std::string& text) {
  return std::find(list.begin(), list.end(), text) != list.end();
}

MarkerKind classify(const std::string& text, const MarkerLists& markers) {
  std::string t = trimmed(text);
  MarkerKind kind = MarkerKind::kNone;
  if (listed(markers.one_line, t)) kind = MarkerKind::kOneLine;
  if (listed(markers.begin, t)) kind = MarkerKind::kBegin;
  if (listed(markers.end, t)) kind = MarkerKind::kEnd;
  return kind;
}

// The comment and literal state machine over one source text.
class CommentScanner {
 public:
  CommentScanner(std::string_view text, const MarkerLists& markers,
                 const std::vector<const Component*>& by_start)
      : text_(text), markers_(markers), by_start_(by_start) {}

  void run();
  std::vector<CommentRecord>& records() { return records_; }
  uint32_t last_line() const { return line_; }

 private:
  enum class State { kCode, kChar, kString, kLineComment, kBlockComment };

  int at(size_t i) const {
    return i < text_.size() ? static_cast<unsigned char>(text_[i]) : EOF;
  }
  static bool stops(int c) { return c == EOF || c == 0; }
  void begin_comment(State state);
  void end_comment();

  std::string_view text_;
  const MarkerLists& markers_;
  const std::vector<const Component*>& by_start_;
  std::vector<CommentRecord> records_;
  State state_ = State::kCode;
  std::string comment_;
  uint32_t comment_start_ = 0;
  uint32_t line_ = 1;
  size_t pos_ = 0;
};

void CommentScanner::begin_comment(State state) {
  state_ = state;
  comment_start_ = line_;
  comment_ = state == State::kLineComment ? "//" : "/*";
  pos_ += 2;
}

void CommentScanner::end_comment() {
  state_ = State::kCode;
  MarkerKind kind = classify(comment_, markers_);
  comment_.clear();
  if (kind == MarkerKind::kNone) return;
  records_.push_back({comment_start_, line_, kind});
  if (kind != MarkerKind::kOneLine) return;
  // A one-line marker on a routine's first line marks the whole routine.
  RoutineStart start = routine_start_at(by_start_, line_);
  if (!start.is_start) return;
  records_.back().kind = MarkerKind::kBegin;
  if (start.end_line) records_.push_back({*start.end_line, *start.end_line, MarkerKind::kEnd});
}

// Bytes that end a run of plain code: they may open a comment or a literal,
// count a line, or stop the scan.
constexpr auto kCodeStops = [] {
  std::array<bool, 256> t{};
  for (unsigned char c : {'/', '\'', '"', '\n', '\0'}) t[c] = true;
  return t;
}();

void CommentScanner::run() {
  for (;;) {
    // Plain code up to the next byte that matters (or the last byte, which
    // the checks below handle) changes nothing but the position.
    if (state_ == State::kCode)
      while (pos_ + 1 < text_.size() && !kCodeStops[static_cast<unsigned char>(text_[pos_])]) ++pos_;
    int c = at(pos_);
    int n = at(pos_ + 1);
    if (stops(c) || stops(n)) {
      // A line comment on the file's last line ends with the file.
      if (state_ == State::kLineComment) {
        if (!stops(c) && c != '\n') comment_.push_back(static_cast<char>(c));
        end_comment();
      }
      return;
    }
    switch (state_) {
      case State::kCode:
        if (c == '/' && n == '/') { begin_comment(State::kLineComment); continue; }
        if (c == '/' && n == '*') { begin_comment(State::kBlockComment); continue; }
        if (c == '\'') state_ = State::kChar;
        else if (c == '"') state_ = State::kString;
        break;
      case State::kChar:
      case State::kString: {
        int close = state_ == State::kChar ? '\'' : '"';
        if (c == '\\' && (n == '"' || n == '\'' || n == '\\')) { pos_ += 2; continue; }
        if (c == close) state_ = State::kCode;
        break;
      }
      case State::kLineComment:
        if (c == '\n') {
          end_comment();
        } else {
          comment_.push_back(static_cast<char>(c));
        }
        break;
      case State::kBlockComment:
        // "/**/" closes at once: the '*' of the opening is never a closing one.
        if (c == '*' && n == '/') {
          comment_ += "*/";
          pos_ += 2;
          end_comment();
          continue;
        }
        comment_.push_back(static_cast<char>(c));
        break;
    }
    if (c == '\n') ++line_;
    ++pos_;
  }
}

// Marks from..to; lines past the end of the source do not exist and are not
// marked (routine start lines come from the profile and may be anything).
void mark_range(std::vector<bool>& lines, uint32_t from, uint32_t to, uint32_t last_line) {
  to = std::min(to, std::max(from, last_line));
  if (from > to) return;
  if (lines.size() <= to) lines.resize(static_cast<size_t>(to) + 1, false);
  std::fill(lines.begin() + from, lines.begin() + to + 1, true);
}

}  // namespace

std::set<uint32_t> MarkerScanner::infeasible_lines() const {
  std::set<uint32_t> lines;
  for (size_t l = 0; l < infeasible_.size(); ++l)
    if (infeasible_[l]) lines.insert(static_cast<uint32_t>(l));
  return lines;
}

bool markers_need_scan(const MarkerLists& markers) {
  return !markers.one_line.empty() || (!markers.begin.empty() && !markers.end.empty());
}

MarkerScanner MarkerScanner::scan_text(std::string_view text, const std::string& path,
                                       const MarkerLists& markers,
                                       const std::vector<const Component*>& by_start) {
  MarkerScanner out;
  if (!markers_need_scan(markers)) return out;
  out.scanned_ = true;
  CommentScanner scanner(text, markers, by_start);
  scanner.run();
  out.last_line_ = scanner.last_line();
  std::vector<CommentRecord>& records = scanner.records();
  std::stable_sort(records.begin(), records.end(),
                   [](const CommentRecord& a, const CommentRecord& b) {
                     return a.start_line < b.start_line;
                   });
  std::vector<uint32_t> open;
  for (const CommentRecord& r : records) {
    if (r.kind == MarkerKind::kOneLine) {
      mark_range(out.infeasible_, r.start_line, r.start_line, r.start_line);
    } else if (r.kind == MarkerKind::kBegin) {
      open.push_back(r.start_line);
    } else if (open.empty()) {
      print_err("WARNING: An ending marker in file %s, line %u doesn't match any begining marker. "
                "Ignored\n", path.c_str(), r.start_line);
    } else {
      mark_range(out.infeasible_, open.back(), r.start_line, out.last_line_);
      open.pop_back();
    }
  }
  for (auto it = open.rbegin(); it != open.rend(); ++it)
    mark_range(out.infeasible_, *it, out.last_line_, out.last_line_);
  return out;
}

MarkerScanner MarkerScanner::scan_file(const std::string& path, const MarkerLists& markers,
                                       const std::vector<const Component*>& by_start) {
  if (!markers_need_scan(markers)) return MarkerScanner();
  std::FILE* in = open_file(path, "rb");
  // A missing source is reported by the position table, which skips the file.
  if (!in) return MarkerScanner();
  std::string text = read_rest(in);
  std::fclose(in);
  // Text mode: a carriage return before a line feed is dropped (in place,
  // from the first carriage return on).
  size_t kept = text.find('\r');
  if (kept != std::string::npos) {
    for (size_t i = kept; i < text.size(); ++i)
      if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) text[kept++] = text[i];
    text.resize(kept);
  }
  return scan_text(text, path, markers, by_start);
}

}  // namespace vorel
