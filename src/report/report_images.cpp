#include "report/report_images.h"

#include <cstdio>
#include <string_view>

#include "base/diag.h"
#include "base/output.h"
#include "platform/output_file.h"
#include "report/gif_encoder.h"

namespace vorel {

namespace {

// Turns rows of characters into colour indices by `legend` ("<char><index>"
// pairs are looked up by position: legend[i] is colour i).
std::vector<uint8_t> from_art(const char* const* rows, int height, std::string_view legend) {
  std::vector<uint8_t> pixels;
  for (int y = 0; y < height; ++y)
    for (const char* c = rows[y]; *c; ++c) pixels.push_back(static_cast<uint8_t>(legend.find(*c)));
  return pixels;
}

// A 19x20 toolbar icon drawn in `rows`, colour 0 transparent.
GifPicture icon(const char* const* rows, std::string_view legend, int table_bits,
                std::vector<uint32_t> colors) {
  GifPicture p;
  p.width = 19;
  p.height = 20;
  p.table_bits = table_bits;
  p.colors = std::move(colors);
  p.transparent = 0;
  p.pixels = from_art(rows, 20, legend);
  return p;
}

// A house with a chimney, a window and a door on a strip of grass.
GifPicture home_picture() {
  static const char* const kRows[20] = {
      "...................", "..........kk.......", ".........krrk.cc...",
      "........krrrrkcc...", ".......krrrrrrkc...", "......krrrrrrrrk...",
      ".....krrrrrrrrrrk..", "....krrrrrrrrrrrrk.", "...kkkkkkkkkkkkkkkk",
      "....kwwwwwwwwwwwk..", "....kwbbbwwwwdddk..", "....kwbLbwwwwdddk..",
      "....kwbbbwwwwdddk..", "....kwwwwwwwwddyk..", "....kwwwwwwwwdddk..",
      "....kwwwwwwwwdddk..", "....kwwwwwwwwdddk..", "....kkkkkkkkkkkkk..",
      "gggggggggggggggggGg", "GgGgGgGgGgGgGgGgGgG"};
  // 256 table entries: only the first 21 are stored as colours.
  return icon(kRows, ".krcwbLdyGg", 8,
              {0xFFFFFF, 0x202020, 0xB22222, 0x8B4513, 0xF5DEB3, 0x4169E1, 0xADD8E6,
               0x8B5A2B, 0xFFD700, 0x3CB371, 0x2E8B57, 0x808080, 0xC0C0C0, 0xA0522D,
               0xDEB887, 0xF0E68C, 0x6B8E23, 0x556B2F, 0x87CEEB, 0xCD5C5C, 0xFFFAF0});
}

// A white question mark on a blue disc.
GifPicture help_picture() {
  static const char* const kRows[20] = {
      "...................", ".......kkkkk.......", ".....kkbbbbbkk.....",
      "....kbbbbbbbbbk....", "...kbbbbbbbbbbbk...", "..kbbbbwwwwwbbbbk..",
      "..kbbbwwbbbwwbbbk..", ".kbbbbwwbbbwwbbbbk.", ".kbbbbbbbbbwwbbbbk.",
      ".kbbbbbbbbwwbbbbbk.", ".kbbbbbbbwwbbbbbbk.", ".kbbbbbbbwwbbbbbbk.",
      ".kbbbbbbbbbbbbbbbk.", "..kbbbbbbwwbbbbbk..", "..kbbbbbbwwbbbbbk..",
      "...kbbbbbbbbbbbk...", "....kbbbbbbbbbk....", ".....kkbbbbbkk.....",
      ".......kkkkk.......", "..................."};
  return icon(kRows, ".kbw", 2, {0xFFFFFF, 0x1F3F8F, 0x3366FF, 0xFFFFFF});
}

// 5x7 glyphs of the logo's letters, one row of bits per line.
const char* glyph(char c) {
  switch (c) {
    case 'V': return "10001" "10001" "10001" "10001" "10001" "01010" "00100";
    case 'O': return "01110" "10001" "10001" "10001" "10001" "10001" "01110";
    case 'R': return "11110" "10001" "10001" "11110" "10100" "10010" "10001";
    case 'E': return "11111" "10000" "10000" "11110" "10000" "10000" "11111";
    case 'L': return "10000" "10000" "10000" "10000" "10000" "10000" "11111";
    default: return "00000" "00000" "00000" "00000" "00000" "00000" "00000";
  }
}

// "VOREL" in white on a blue badge with rounded corners and an orange bar.
GifPicture logo_picture() {
  enum : uint8_t { kWhite, kBlue, kDark, kOrange };
  const int w = 66, h = 45;
  GifPicture p;
  p.gif89a = false;
  p.width = w;
  p.height = h;
  p.table_bits = 2;
  p.colors = {0xFFFFFF, 0x3366FF, 0x1F3F8F, 0xFF9900};
  p.pixels.assign(w * h, kWhite);
  auto set = [&](int x, int y, uint8_t c) { p.pixels[y * w + x] = c; };
  for (int y = 1; y < h - 1; ++y)
    for (int x = 1; x < w - 1; ++x) {
      const int dx = x < 6 ? 6 - x : (x > w - 7 ? x - (w - 7) : 0);
      const int dy = y < 6 ? 6 - y : (y > h - 7 ? y - (h - 7) : 0);
      const int r2 = dx * dx + dy * dy;
      if (r2 <= 25) set(x, y, r2 >= 17 ? kDark : kBlue);
      else if (r2 <= 36) set(x, y, kDark);
    }
  const char* text = "VOREL";
  for (int i = 0; i < 5; ++i) {
    const char* g = glyph(text[i]);
    for (int gy = 0; gy < 7; ++gy)
      for (int gx = 0; gx < 5; ++gx)
        if (g[gy * 5 + gx] == '1')
          for (int s = 0; s < 4; ++s) set(4 + i * 12 + gx * 2 + s % 2, 8 + gy * 2 + s / 2, kWhite);
  }
  for (int y = 30; y < 33; ++y)
    for (int x = 4; x < w - 4; ++x) set(x, y, kOrange);
  return p;
}

GifPicture spacer_picture() {
  GifPicture p;
  p.width = 1;
  p.height = 1;
  p.table_bits = 1;
  p.colors = {0xFFFFFF, 0x000000};
  p.transparent = 0;
  p.pixels = {0};
  return p;
}

ReportImage make(const char* name, size_t size, const GifPicture& picture) {
  std::optional<std::string> bytes = encode_gif(picture, size);
  if (!bytes) {
    // The pictures are fixed; one that no longer fits is a build mistake.
    internal_error("image %s does not fit in %zu bytes", name, size);
  }
  return ReportImage{name, size, picture.width, picture.height, std::move(*bytes)};
}

}  // namespace

const std::vector<ReportImage>& report_images() {
  static const std::vector<ReportImage> images = {
      make("__Home.gif", 977, home_picture()),
      make("__Help.gif", 187, help_picture()),
      make("__VorelR.gif", 1414, logo_picture()),
      make("__Spacer.gif", 43, spacer_picture()),
  };
  return images;
}

ImageWrite write_image_file(const ReportImage& image, const std::string& path) {
  std::FILE* f = output_open_binary(path);
  if (!f) return ImageWrite::kNotCreated;
  std::fwrite(image.bytes.data(), 1, image.bytes.size(), f);
  return finish_output(f, path) ? ImageWrite::kWritten : ImageWrite::kWriteFailed;
}

}  // namespace vorel
