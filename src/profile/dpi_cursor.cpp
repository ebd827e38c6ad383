#include "profile/dpi_cursor.h"

#include "base/catalog.h"
#include "base/diag.h"

namespace vorel {

void DpiCursor::fail() {
  if (name_) catalog_error(kMsgFileCorrupt, name_);
  failed_ = true;
  pos_ = size_;
}

bool DpiCursor::need(uint64_t count, uint64_t width) {
  if (failed_) return false;
  uint64_t left = size_ - pos_;
  if (width != 0 && count > left / width) {
    fail();
    return false;
  }
  return true;
}

void DpiCursor::skip(uint64_t count, uint64_t width) {
  if (need(count, width)) pos_ += count * width;
}

uint32_t DpiCursor::u32() {
  if (!need(1, 4)) return 0;
  uint32_t v = load_u32(data_ + pos_);
  pos_ += 4;
  return v;
}

uint64_t DpiCursor::u64() {
  if (!need(1, 8)) return 0;
  uint64_t v = load_u64(data_ + pos_);
  pos_ += 8;
  return v;
}

float DpiCursor::f32() {
  uint32_t bits = u32();
  float v;
  std::memcpy(&v, &bits, sizeof v);
  return v;
}

}  // namespace vorel
