// A minimal GIF decoder for the tests, written independently of the encoder:
// it walks the whole block structure, skips extensions, LZW-decodes the one
// image and insists on the trailer at the very end of the file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace gif_test {

struct Decoded {
  std::string version;
  int width = 0, height = 0, table_size = 0, transparent = -1;
  std::vector<uint8_t> pixels;
  std::string error;  // empty when the file decoded cleanly
};

// LZW-decodes `data` with the given minimum code size; false on a bad code.
inline bool lzw_decode(const std::string& data, int min_code_size, std::vector<uint8_t>& out) {
  const int clear = 1 << min_code_size, eoi = clear + 1;
  std::vector<std::vector<uint8_t>> table;
  int width = 0, prev = -1;
  auto reset = [&] {
    table.resize(clear + 2);
    for (int i = 0; i < clear; ++i) table[i] = {static_cast<uint8_t>(i)};
    width = min_code_size + 1;
    prev = -1;
  };
  reset();
  for (size_t bitpos = 0;;) {
    if (bitpos + width > data.size() * 8) return false;  // ran out before EOI
    int code = 0;
    for (int b = 0; b < width; ++b, ++bitpos)
      if (static_cast<uint8_t>(data[bitpos / 8]) >> (bitpos % 8) & 1) code |= 1 << b;
    if (code == clear) { reset(); continue; }
    if (code == eoi) return true;
    const int next = static_cast<int>(table.size());
    if (prev < 0 ? code >= clear : code > next) return false;
    std::vector<uint8_t> entry = code < next ? table[code] : table[prev];
    if (code == next) entry.push_back(table[prev][0]);
    if (prev >= 0 && next < 4096) {
      table.push_back(table[prev]);
      table.back().push_back(entry[0]);
      if (next + 1 == (1 << width) && width < 12) ++width;
    }
    out.insert(out.end(), entry.begin(), entry.end());
    prev = code;
  }
}

inline Decoded decode(const std::string& f) {
  Decoded d;
  auto u8 = [&](size_t i) { return static_cast<uint8_t>(f[i]); };
  auto u16 = [&](size_t i) { return u8(i) | u8(i + 1) << 8; };
  auto fail = [&](const char* why) { d.error = why; return d; };
  if (f.size() < 13) return fail("short header");
  d.version = f.substr(0, 6);
  if (d.version != "GIF87a" && d.version != "GIF89a") return fail("signature");
  d.width = u16(6);
  d.height = u16(8);
  size_t pos = 13;
  if (u8(10) & 0x80) d.table_size = 1 << ((u8(10) & 7) + 1);
  pos += 3 * d.table_size;
  auto sub_blocks = [&](std::string* data) {
    while (pos < f.size()) {
      size_t n = u8(pos++);
      if (n == 0) return true;
      if (pos + n > f.size()) return false;
      if (data) data->append(f, pos, n);
      pos += n;
    }
    return false;
  };
  bool have_image = false;
  while (pos < f.size()) {
    uint8_t kind = u8(pos++);
    if (kind == 0x3B) return pos != f.size() ? fail("bytes after the trailer") : have_image ? d : fail("no image");
    if (kind == 0x21 && pos < f.size()) {
      uint8_t label = u8(pos++);
      if (label == 0xF9 && pos + 5 < f.size() && (u8(pos + 1) & 1)) d.transparent = u8(pos + 4);
      if (!sub_blocks(nullptr)) return fail("extension blocks");
      continue;
    }
    if (kind != 0x2C || have_image || pos + 10 > f.size()) return fail("unexpected block");
    if (u16(pos) != 0 || u16(pos + 2) != 0 || u16(pos + 4) != d.width ||
        u16(pos + 6) != d.height || u8(pos + 8) != 0)
      return fail("image descriptor fields");
    int min_code_size = u8(pos + 9);
    pos += 10;
    std::string data;
    if (!sub_blocks(&data)) return fail("image data blocks");
    if (!lzw_decode(data, min_code_size, d.pixels)) return fail("LZW data");
    if (d.pixels.size() != static_cast<size_t>(d.width) * d.height) return fail("pixel count");
    for (uint8_t px : d.pixels)
      if (px >= d.table_size) return fail("pixel outside the colour table");
    have_image = true;
  }
  return fail("no trailer");
}

}  // namespace gif_test
