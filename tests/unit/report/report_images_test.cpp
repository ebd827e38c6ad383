#include "report/report_images.h"

#include <gtest/gtest.h>

#include <random>
#include <set>

#include "gif_decode.h"
#include "report/gif_encoder.h"

namespace vorel {
namespace {

TEST(ReportImages, EveryImageDecodesWithItsSizeAndDimensions) {
  struct Want {
    const char* name;
    size_t size;
    const char* version;
    int w, h;
  };
  const Want wants[] = {{"__Home.gif", 977, "GIF89a", 19, 20},
                        {"__Help.gif", 187, "GIF89a", 19, 20},
                        {"__VorelR.gif", 1414, "GIF87a", 66, 45},
                        {"__Spacer.gif", 43, "GIF89a", 1, 1}};
  const auto& images = report_images();
  ASSERT_EQ(images.size(), 4u);
  for (size_t i = 0; i < 4; ++i) {
    SCOPED_TRACE(wants[i].name);
    EXPECT_STREQ(images[i].name, wants[i].name);
    ASSERT_EQ(images[i].bytes.size(), wants[i].size);
    gif_test::Decoded d = gif_test::decode(images[i].bytes);
    EXPECT_EQ(d.error, "");
    EXPECT_EQ(d.version, wants[i].version);
    EXPECT_EQ(d.width, wants[i].w);
    EXPECT_EQ(d.height, wants[i].h);
  }
}

TEST(ReportImages, PicturesAreDrawnAndSpacerIsTransparent) {
  const auto& images = report_images();
  for (size_t i = 0; i < 3; ++i) {
    gif_test::Decoded d = gif_test::decode(images[i].bytes);
    std::set<uint8_t> used(d.pixels.begin(), d.pixels.end());
    EXPECT_GE(used.size(), 3u) << images[i].name;  // a picture, not a blank
  }
  gif_test::Decoded spacer = gif_test::decode(images[3].bytes);
  EXPECT_EQ(spacer.transparent, 0);
  EXPECT_EQ(spacer.pixels, std::vector<uint8_t>{0});
}

TEST(GifEncoder, LzwRoundTripsRandomAndLongRuns) {
  std::mt19937 rng(7);
  for (int bits : {2, 4, 8}) {
    // Random pixels fill the code table several times over (clear codes).
    std::vector<uint8_t> pixels(20000);
    for (auto& p : pixels) p = static_cast<uint8_t>(rng() % (1u << bits));
    std::vector<uint8_t> out;
    ASSERT_TRUE(gif_test::lzw_decode(gif_lzw_encode(pixels, bits), bits, out));
    EXPECT_EQ(out, pixels);
    std::vector<uint8_t> run(50000, 1), run_out;
    ASSERT_TRUE(gif_test::lzw_decode(gif_lzw_encode(run, bits), bits, run_out));
    EXPECT_EQ(run_out, run);
  }
}

TEST(GifEncoder, PadsToEveryReachableSizeAndRefusesTooSmall) {
  GifPicture p;
  p.width = 2;
  p.height = 2;
  p.table_bits = 1;
  p.colors = {0xFFFFFF, 0};
  p.pixels = {0, 1, 1, 0};
  std::optional<std::string> bare = encode_gif(p, 1000);
  ASSERT_TRUE(bare);
  for (size_t size : {size_t{600}, size_t{300}, size_t{262}, size_t{261}, size_t{47}}) {
    std::optional<std::string> g = encode_gif(p, size);
    ASSERT_TRUE(g) << size;
    EXPECT_EQ(g->size(), size);
    gif_test::Decoded d = gif_test::decode(*g);
    EXPECT_EQ(d.error, "") << size;
    EXPECT_EQ(d.pixels, p.pixels);
  }
  EXPECT_FALSE(encode_gif(p, 20));
}

}  // namespace
}  // namespace vorel
