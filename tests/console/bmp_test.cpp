#include <gtest/gtest.h>

#include <cstring>

#include "console/picture.h"

namespace {

void put(std::string& s, size_t at, uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) s[at + static_cast<size_t>(i)] = static_cast<char>(v >> (8 * i));
}

// A BMP file with a 40-byte header; rows are given bottom row first unless
// the height is negative, each already padded to 4 bytes.
std::string bmp(int width, int height, int bits, const std::string& palette, const std::string& rows) {
  std::string f(54, '\0');
  f[0] = 'B';
  f[1] = 'M';
  put(f, 2, static_cast<uint32_t>(54 + palette.size() + rows.size()), 4);
  put(f, 10, static_cast<uint32_t>(54 + palette.size()), 4);
  put(f, 14, 40, 4);
  put(f, 18, static_cast<uint32_t>(width), 4);
  put(f, 22, static_cast<uint32_t>(height), 4);
  put(f, 26, 1, 2);
  put(f, 28, static_cast<uint32_t>(bits), 2);
  put(f, 46, static_cast<uint32_t>(palette.size() / 4), 4);
  return f + palette + rows;
}

TEST(Bmp, DecodesTheCommonDepths) {
  struct Case {
    const char* name;
    std::string file;
    std::vector<uint32_t> pixels;  // top row first
  } cases[] = {
      {"24-bit bottom-up", bmp(2, 2, 24, "", std::string("\x00\x00\xFF\x00\xFF\x00\0\0", 8) +
                                                std::string("\xFF\x00\x00\xFF\xFF\xFF\0\0", 8)),
       {0xFF0000FF, 0xFFFFFFFF, 0xFFFF0000, 0xFF00FF00}},
      {"24-bit top-down", bmp(1, -2, 24, "", std::string("\x01\x02\x03\0\x04\x05\x06\0", 8)),
       {0xFF030201, 0xFF060504}},
      {"8-bit palette", bmp(3, 1, 8, std::string("\x10\x20\x30\0\x40\x50\x60\0", 8), std::string("\x01\x00\x01\0", 4)),
       {0xFF605040, 0xFF302010, 0xFF605040}},
      {"1-bit", bmp(9, 1, 1, std::string("\0\0\0\0\xFF\xFF\xFF\0", 8), std::string("\xA0\x80\0\0", 4)),
       {0xFFFFFFFF, 0xFF000000, 0xFFFFFFFF, 0xFF000000, 0xFF000000, 0xFF000000, 0xFF000000, 0xFF000000,
        0xFFFFFFFF}},
      {"32-bit", bmp(1, 1, 32, "", std::string("\x11\x22\x33\x44", 4)), {0xFF332211}},
      {"16-bit 5-5-5", bmp(1, 1, 16, "", std::string("\x1F\x7C\0\0", 4)), {0xFFFF00FF}},
  };
  for (const Case& c : cases) {
    console::Bitmap b;
    ASSERT_TRUE(console::decodeBmp(c.file, b)) << c.name;
    EXPECT_EQ(b.pixels, c.pixels) << c.name;
  }
}

TEST(Bmp, RefusesWhatItCannotShowOrWhatLies) {
  const std::string good = bmp(2, 2, 24, "", std::string(16, '\x7F'));
  std::string os2 = good;
  put(os2, 14, 12, 4);
  std::string rle = good;
  put(rle, 30, 1, 4);
  std::string huge = good;
  put(huge, 18, 0x7FFFFFFF, 4);
  std::string tall = good;
  put(tall, 22, 0x80000000, 4);
  std::string badOffset = good;
  put(badOffset, 10, 0xFFFFFFF0, 4);
  std::string depth = good;
  put(depth, 28, 3, 2);
  std::string palette = bmp(1, 1, 8, "", std::string("\0\0\0\0", 4));
  put(palette, 46, 0xFFFFFFFF, 4);  // a palette larger than the file
  const struct {
    const char* name;
    std::string file;
  } cases[] = {
      {"core header", os2},           {"compressed", rle},       {"width beyond the data", huge},
      {"height beyond the data", tall}, {"pixels past the end", badOffset}, {"odd depth", depth},
      {"truncated", good.substr(0, good.size() - 1)}, {"not a bmp", "GIF89a" + good},
      {"empty", ""},                  {"palette beyond the data", palette.substr(0, 60)},
  };
  for (const auto& c : cases) {
    console::Bitmap b;
    EXPECT_FALSE(console::decodeBmp(c.file, b)) << c.name;
  }
}

}  // namespace
