// Bounded little-endian reads from a byte range of a dynamic profile file.
//
// Every count and length read from the file is checked against the bytes of
// the range before anything is allocated or indexed with it. A cursor made
// with a file name ends the run with the corrupt-file catalog error when a
// read passes the end of its range; one made without a name only records the
// failure (failed()) and yields zeros, for callers that fall back on failure.
#pragma once

#include <cstdint>
#include <cstring>

namespace vorel {

inline uint32_t load_u32(const uint8_t* p) {
  uint32_t v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

inline uint64_t load_u64(const uint8_t* p) {
  uint64_t v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

class DpiCursor {
 public:
  // `corrupt_name`: the file named by the corrupt-file error, or nullptr for
  // a cursor that records failures instead.
  DpiCursor(const uint8_t* data, uint64_t size, const char* corrupt_name)
      : data_(data), size_(size), name_(corrupt_name) {}

  uint32_t u32();
  uint64_t u64();
  float f32();

  // True when `count` elements of `width` bytes remain; otherwise a failure.
  bool need(uint64_t count, uint64_t width);
  // Steps over `count` elements of `width` bytes.
  void skip(uint64_t count, uint64_t width);

  uint64_t pos() const { return pos_; }
  uint64_t size() const { return size_; }
  const uint8_t* data() const { return data_; }
  bool failed() const { return failed_; }

 private:
  void fail();

  const uint8_t* data_;
  uint64_t size_;
  const char* name_;
  uint64_t pos_ = 0;
  bool failed_ = false;
};

}  // namespace vorel
