#include "report/report_images.h"

#include <gtest/gtest.h>

#include <set>

#include "gif_decode.h"
#include "report/gif_encoder.h"

namespace vorel {
namespace {

// Each image decodes cleanly with its size and dimensions; the three
// pictures are drawn (not blank), the spacer is one transparent pixel.
TEST(ReportImages, EveryImageDecodes) {
  const struct {
    const char* name;
    size_t size;
    const char* version;
    int w, h;
  } wants[] = {{"__Home.gif", 977, "GIF89a", 19, 20},
               {"__Help.gif", 187, "GIF89a", 19, 20},
               {"__VorelR.gif", 1414, "GIF87a", 66, 45},
               {"__Spacer.gif", 43, "GIF89a", 1, 1}};
  const auto& images = report_images();
  ASSERT_EQ(images.size(), 4u);
  for (size_t i = 0; i < 4; ++i) {
    SCOPED_TRACE(wants[i].name);
    EXPECT_STREQ(images[i].name, wants[i].name);
    EXPECT_EQ(images[i].bytes.size(), wants[i].size);
    gif_test::Decoded d = gif_test::decode(images[i].bytes);
    EXPECT_EQ(d.error, "");
    EXPECT_EQ(d.version, wants[i].version);
    EXPECT_EQ(d.width * 100 + d.height, wants[i].w * 100 + wants[i].h);
    EXPECT_GE(std::set<uint8_t>(d.pixels.begin(), d.pixels.end()).size(), i < 3 ? 3u : 1u);
    // Screen descriptor: a global colour table, and a colour resolution
    // (bits 4-6) of as many bits as the table's size (bits 0-2) gives.
    const auto packed = static_cast<uint8_t>(images[i].bytes.at(10));
    EXPECT_EQ(packed & 0x88, 0x80);
    EXPECT_EQ(packed >> 4 & 7, packed & 7);
  }
  gif_test::Decoded spacer = gif_test::decode(images[3].bytes);
  EXPECT_EQ(spacer.transparent, 0);
  EXPECT_EQ(spacer.pixels, std::vector<uint8_t>{0});
}

// Below its bare size a picture does not fit; above it every size is reached
// with comment blocks (past 255-byte blocks too) but 1, 2 or 4 bytes more: a
// comment extension takes 3 bytes, or 5 and more.
TEST(GifEncoder, PadsToEveryReachableSize) {
  GifPicture p{.width = 2, .height = 2, .table_bits = 1, .colors = {0xFFFFFF, 0}, .pixels = {0, 1, 1, 0}};
  size_t bare = 0;
  while (!encode_gif(p, bare)) ASSERT_LT(++bare, 100u);
  for (size_t size = bare; size < bare + 600; ++size) {
    std::optional<std::string> g = encode_gif(p, size);
    ASSERT_EQ(g.has_value(), size - bare != 1 && size - bare != 2 && size - bare != 4) << size;
    if (!g) continue;
    EXPECT_EQ(g->size(), size);
    gif_test::Decoded d = gif_test::decode(*g);
    ASSERT_EQ(d.error, "") << size;
    EXPECT_EQ(d.pixels, p.pixels);
  }
}

}  // namespace
}  // namespace vorel
