// A small GIF writer for the report's icons: one image, a global colour
// table, optional transparency, LZW-compressed pixels, and padding to an
// exact file size with comment extension blocks.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vorel {

struct GifPicture {
  bool gif89a = true;                 // "GIF89a", else "GIF87a"
  uint16_t width = 0;
  uint16_t height = 0;
  int table_bits = 1;                 // the colour table holds 2^table_bits entries
  std::vector<uint32_t> colors;       // 0xRRGGBB; entries not given are black
  int transparent = -1;               // transparent colour index (GIF89a), or -1
  std::vector<uint8_t> pixels;        // width * height colour indices, row by row
};

// The LZW-compressed pixel codes (without sub-block framing).
std::string gif_lzw_encode(const std::vector<uint8_t>& pixels, int min_code_size);

// The whole file, padded with comment blocks (placed before the image) to
// exactly `size` bytes; nullopt when the picture does not fit or the gap
// cannot be filled.
std::optional<std::string> encode_gif(const GifPicture& picture, size_t size);

}  // namespace vorel
