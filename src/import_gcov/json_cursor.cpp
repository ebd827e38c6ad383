#include "import_gcov/json_cursor.h"

#include <vector>

namespace import_gcov {

namespace {

bool is_space(char c) { return c == ' ' || c == '\n' || c == '\r' || c == '\t'; }

int hex_digit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

void put_utf8(std::string* out, uint32_t cp) {
  char b[4];
  size_t n;
  if (cp < 0x80) {
    b[0] = static_cast<char>(cp), n = 1;
  } else if (cp < 0x800) {
    b[0] = static_cast<char>(0xC0 | (cp >> 6)), b[1] = static_cast<char>(0x80 | (cp & 0x3F)), n = 2;
  } else if (cp < 0x10000) {
    b[0] = static_cast<char>(0xE0 | (cp >> 12)), b[1] = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    b[2] = static_cast<char>(0x80 | (cp & 0x3F)), n = 3;
  } else {
    b[0] = static_cast<char>(0xF0 | (cp >> 18)), b[1] = static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    b[2] = static_cast<char>(0x80 | ((cp >> 6) & 0x3F)), b[3] = static_cast<char>(0x80 | (cp & 0x3F)), n = 4;
  }
  out->append(b, n);
}

}  // namespace

bool JsonCursor::fail(const std::string& what) {
  if (error_.empty()) error_ = what + " at byte " + std::to_string(pos_);
  return false;
}

void JsonCursor::skip_space() {
  while (pos_ < text_.size() && is_space(text_[pos_])) ++pos_;
}

bool JsonCursor::take(char c) {
  skip_space();
  if (pos_ < text_.size() && text_[pos_] == c) {
    ++pos_;
    return true;
  }
  return false;
}

bool JsonCursor::expect(char c) { return take(c) || fail(std::string("expected '") + c + "'"); }

bool JsonCursor::at_end() {
  skip_space();
  return pos_ == text_.size();
}

bool JsonCursor::string(std::string* out) {
  if (!take('"')) return fail("expected a string");
  out->clear();
  for (;;) {
    // Copy the run of plain characters at once.
    size_t run = pos_;
    while (run < text_.size() && text_[run] != '"' && text_[run] != '\\' &&
           static_cast<unsigned char>(text_[run]) >= 0x20)
      ++run;
    out->append(text_.substr(pos_, run - pos_));
    pos_ = run;
    if (pos_ >= text_.size()) return fail("unterminated string");
    char c = text_[pos_++];
    if (c == '"') return true;
    if (c != '\\') return fail("control character in a string");
    if (pos_ >= text_.size()) return fail("unterminated string");
    char e = text_[pos_++];
    switch (e) {
      case '"': case '\\': case '/': out->push_back(e); break;
      case 'b': out->push_back('\b'); break;
      case 'f': out->push_back('\f'); break;
      case 'n': out->push_back('\n'); break;
      case 'r': out->push_back('\r'); break;
      case 't': out->push_back('\t'); break;
      case 'u': {
        auto hex4 = [this](uint32_t* v) {
          if (text_.size() - pos_ < 4) return false;
          *v = 0;
          for (int i = 0; i < 4; ++i) {
            int d = hex_digit(text_[pos_ + i]);
            if (d < 0) return false;
            *v = *v * 16 + static_cast<uint32_t>(d);
          }
          pos_ += 4;
          return true;
        };
        uint32_t cp;
        if (!hex4(&cp)) return fail("bad \\u escape");
        if (cp >= 0xD800 && cp < 0xDC00) {
          uint32_t low;
          if (text_.substr(pos_, 2) != "\\u") return fail("lone surrogate");
          pos_ += 2;
          if (!hex4(&low) || low < 0xDC00 || low > 0xDFFF) return fail("lone surrogate");
          cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
        } else if (cp >= 0xDC00 && cp <= 0xDFFF) {
          return fail("lone surrogate");
        }
        put_utf8(out, cp);
        break;
      }
      default: return fail("bad escape in a string");
    }
  }
}

bool JsonCursor::unsigned_integer(uint64_t* out, const char* what) {
  skip_space();
  size_t start = pos_;
  bool negative = pos_ < text_.size() && text_[pos_] == '-';
  if (negative) ++pos_;
  uint64_t v = 0;
  bool overflow = false, digits = false;
  while (pos_ < text_.size() && text_[pos_] >= '0' && text_[pos_] <= '9') {
    unsigned d = static_cast<unsigned>(text_[pos_++] - '0');
    digits = true;
    if (v > (UINT64_MAX - d) / 10) overflow = true;
    v = v * 10 + d;
  }
  bool fraction = pos_ < text_.size() && (text_[pos_] == '.' || text_[pos_] == 'e' || text_[pos_] == 'E');
  if (!digits) {
    pos_ = start;
    return fail(std::string("expected a number for ") + what);
  }
  if (negative || overflow || fraction) {
    pos_ = start;
    return fail(std::string(what) + " does not fit an unsigned 64-bit count");
  }
  *out = v;
  return true;
}

bool JsonCursor::boolean(bool* out) {
  skip_space();
  if (text_.substr(pos_, 4) == "true") {
    pos_ += 4;
    *out = true;
    return true;
  }
  if (text_.substr(pos_, 5) == "false") {
    pos_ += 5;
    *out = false;
    return true;
  }
  return fail("expected true or false");
}

bool JsonCursor::skip_string() {
  ++pos_;  // the opening quote
  while (pos_ < text_.size()) {
    char c = text_[pos_++];
    if (c == '"') return true;
    if (c == '\\') ++pos_;
    else if (static_cast<unsigned char>(c) < 0x20) return fail("control character in a string");
  }
  return fail("unterminated string");
}

bool JsonCursor::skip_scalar() {
  size_t start = pos_;
  while (pos_ < text_.size()) {
    char c = text_[pos_];
    bool number_char = (c >= '0' && c <= '9') || c == '-' || c == '+' || c == '.' || c == 'e' || c == 'E';
    bool word_char = c >= 'a' && c <= 'z';
    if (!number_char && !word_char) break;
    ++pos_;
  }
  std::string_view word = text_.substr(start, pos_ - start);
  if (word.empty()) return fail("expected a value");
  if (word == "true" || word == "false" || word == "null") return true;
  char c0 = word[0];
  if (c0 == '-' || (c0 >= '0' && c0 <= '9')) return true;  // number; its digits are not needed
  pos_ = start;
  return fail("expected a value");
}

// Skips a value with an explicit stack of open brackets, so nesting depth
// costs no native stack.
bool JsonCursor::skip_value() {
  std::vector<char> open;
  bool expect_value = true;
  for (;;) {
    skip_space();
    if (pos_ >= text_.size()) return fail("unexpected end of text");
    char c = text_[pos_];
    if (expect_value) {
      if (c == '{' || c == '[') {
        if (open.size() >= kMaxDepth) return fail("nesting too deep");
        open.push_back(c);
        ++pos_;
        skip_space();
        if (pos_ < text_.size() && text_[pos_] == (c == '{' ? '}' : ']')) {
          ++pos_;
          open.pop_back();
          expect_value = false;
        } else if (c == '{') {
          if (pos_ >= text_.size() || text_[pos_] != '"' || !skip_string() || !expect(':')) return fail("bad object");
        }
        if (open.empty() && !expect_value) return true;
        continue;
      }
      if (c == '"') {
        if (!skip_string()) return false;
      } else if (!skip_scalar()) {
        return false;
      }
      expect_value = false;
      if (open.empty()) return true;
      continue;
    }
    // After a value inside a container: ',' or the closing bracket.
    char close = open.back() == '{' ? '}' : ']';
    if (c == close) {
      ++pos_;
      open.pop_back();
      if (open.empty()) return true;
    } else if (c == ',') {
      ++pos_;
      if (open.back() == '{') {
        skip_space();
        if (pos_ >= text_.size() || text_[pos_] != '"' || !skip_string() || !expect(':')) return fail("bad object");
      }
      expect_value = true;
    } else {
      return fail(std::string("expected ',' or '") + close + "'");
    }
  }
}

bool JsonCursor::next_member(bool first, std::string* key, bool* done) {
  *done = false;
  if (take('}')) {
    *done = true;
    return false;
  }
  if (!first && !expect(',')) return false;
  if (!string(key) || !expect(':')) return false;
  return true;
}

bool JsonCursor::next_element(bool first, bool* done) {
  *done = false;
  if (take(']')) {
    *done = true;
    return false;
  }
  if (!first && !expect(',')) return false;
  return true;
}

}  // namespace import_gcov
