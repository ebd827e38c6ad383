#include "report/gif_encoder.h"

#include <unordered_map>

namespace vorel {

namespace {

constexpr int kMaxCodes = 4096;

void put_u16(std::string& out, uint16_t v) {
  out.push_back(static_cast<char>(v & 0xFF));
  out.push_back(static_cast<char>(v >> 8));
}

// Packs variable-width codes least significant bit first.
class BitWriter {
 public:
  void put(uint32_t code, int width) {
    acc_ |= code << bits_;
    bits_ += width;
    while (bits_ >= 8) {
      out_.push_back(static_cast<char>(acc_ & 0xFF));
      acc_ >>= 8;
      bits_ -= 8;
    }
  }
  std::string finish() {
    if (bits_ > 0) out_.push_back(static_cast<char>(acc_ & 0xFF));
    return out_;
  }

 private:
  std::string out_;
  uint32_t acc_ = 0;
  int bits_ = 0;
};

// Splits data into sub-blocks of at most 255 bytes and a terminator.
void put_sub_blocks(std::string& out, const std::string& data) {
  for (size_t i = 0; i < data.size(); i += 255) {
    size_t n = std::min<size_t>(255, data.size() - i);
    out.push_back(static_cast<char>(n));
    out.append(data, i, n);
  }
  out.push_back('\0');
}

// Comment extensions of exactly `size` bytes (0 or at least 3).
bool put_padding(std::string& out, size_t size) {
  static const char kText[] = "vorelcov report image ";
  if (size == 0) return true;
  if (size < 3) return false;
  out += "\x21\xFE";
  size_t left = size - 3;  // sub-blocks between the label and the terminator
  size_t t = 0;
  while (left > 0) {
    if (left == 1) return false;
    size_t n = std::min<size_t>(255, left - 1);
    if (left - (n + 1) == 1) --n;  // never leave a single byte behind
    out.push_back(static_cast<char>(n));
    for (size_t i = 0; i < n; ++i, ++t) out.push_back(kText[t % (sizeof kText - 1)]);
    left -= n + 1;
  }
  out.push_back('\0');
  return true;
}

}  // namespace

std::string gif_lzw_encode(const std::vector<uint8_t>& pixels, int min_code_size) {
  const uint32_t clear = 1u << min_code_size;
  const uint32_t eoi = clear + 1;
  std::unordered_map<uint32_t, uint32_t> table;  // (prefix << 8 | byte) -> code
  uint32_t next = eoi + 1;
  BitWriter bits;
  // The decoder's table lags one entry behind, so the width follows next - 1.
  auto width = [&] {
    int w = min_code_size + 1;
    while (w < 12 && next - 1 >= (1u << w)) ++w;
    return w;
  };
  bits.put(clear, min_code_size + 1);
  if (!pixels.empty()) {
    uint32_t prefix = pixels[0];
    for (size_t i = 1; i < pixels.size(); ++i) {
      const uint32_t key = prefix << 8 | pixels[i];
      auto it = table.find(key);
      if (it != table.end()) {
        prefix = it->second;
        continue;
      }
      bits.put(prefix, width());
      table.emplace(key, next++);
      if (next == kMaxCodes) {
        bits.put(clear, 12);
        table.clear();
        next = eoi + 1;
      }
      prefix = pixels[i];
    }
    bits.put(prefix, width());
  }
  bits.put(eoi, width());
  return bits.finish();
}

std::optional<std::string> encode_gif(const GifPicture& p, size_t size) {
  if (p.pixels.size() != static_cast<size_t>(p.width) * p.height) return std::nullopt;
  if (p.table_bits < 1 || p.table_bits > 8) return std::nullopt;
  std::string head = p.gif89a ? "GIF89a" : "GIF87a";
  put_u16(head, p.width);
  put_u16(head, p.height);
  const int bits = p.table_bits;
  head.push_back(static_cast<char>(0x80 | (bits - 1) << 4 | (bits - 1)));
  head.push_back('\0');  // background colour
  head.push_back('\0');  // aspect ratio
  for (int i = 0; i < (1 << bits); ++i) {
    uint32_t c = i < static_cast<int>(p.colors.size()) ? p.colors[i] : 0;
    head.push_back(static_cast<char>(c >> 16 & 0xFF));
    head.push_back(static_cast<char>(c >> 8 & 0xFF));
    head.push_back(static_cast<char>(c & 0xFF));
  }
  if (p.transparent >= 0) {
    if (!p.gif89a) return std::nullopt;
    head += std::string("\x21\xF9\x04\x01\x00\x00", 6);
    head.push_back(static_cast<char>(p.transparent));
    head.push_back('\0');
  }

  std::string image = "\x2C";
  put_u16(image, 0);
  put_u16(image, 0);
  put_u16(image, p.width);
  put_u16(image, p.height);
  image.push_back('\0');  // no local colour table, not interlaced
  const int min_code_size = bits < 2 ? 2 : bits;
  image.push_back(static_cast<char>(min_code_size));
  put_sub_blocks(image, gif_lzw_encode(p.pixels, min_code_size));
  image.push_back('\x3B');

  if (head.size() + image.size() > size) return std::nullopt;
  std::string out = head;
  if (!put_padding(out, size - head.size() - image.size())) return std::nullopt;
  out += image;
  return out;
}

}  // namespace vorel
