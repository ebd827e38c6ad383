// A bounds-checked cursor over JSON text: the lexical part of the gcov JSON
// reader. Every function returns false on malformed input and leaves the
// reason in error(); none recurses, so deep nesting cannot exhaust the stack.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace import_gcov {

class JsonCursor {
 public:
  explicit JsonCursor(std::string_view text) : text_(text) {}

  // Skips white space; true when `c` comes next (and consumes it).
  bool take(char c);
  // Fails unless `c` comes next.
  bool expect(char c);
  // True at the end of the text (after white space).
  bool at_end();
  // The next value is a string: decoded into `out`.
  bool string(std::string* out);
  // The next value is a non-negative integer that fits 64 bits (no fraction
  // or exponent); `what` names it in the message.
  bool unsigned_integer(uint64_t* out, const char* what);
  // The next value is true or false.
  bool boolean(bool* out);
  // Skips one value of any type (nesting up to kMaxDepth).
  bool skip_value();
  // Members of an object: after '{', call next_member until it returns false;
  // `done` tells an orderly end from an error.
  bool next_member(bool first, std::string* key, bool* done);
  // Elements of an array: after '[', like next_member.
  bool next_element(bool first, bool* done);

  bool fail(const std::string& what);
  const std::string& error() const { return error_; }
  size_t position() const { return pos_; }

  static constexpr int kMaxDepth = 512;

 private:
  void skip_space();
  bool skip_string();
  bool skip_scalar();

  std::string_view text_;
  size_t pos_ = 0;
  std::string error_;
};

// Iterates the members of an object, calling `member(key)` for each; false
// when the text is no object or `member` fails.
template <class Member>
bool each_member(JsonCursor& in, Member member) {
  if (!in.expect('{')) return false;
  std::string key;
  bool done = false;
  for (bool first = true; in.next_member(first, &key, &done); first = false)
    if (!member(key)) return false;
  return done;
}

// Iterates the elements of an array, calling `element()` for each.
template <class Element>
bool each_element(JsonCursor& in, Element element) {
  if (!in.expect('[')) return false;
  bool done = false;
  for (bool first = true; in.next_element(first, &done); first = false)
    if (!element()) return false;
  return done;
}

}  // namespace import_gcov
