#include "console/palette.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(ColourMap, ParsesTabcoresLikeTheSuite) {
  struct Case {
    const char* text;
    std::vector<int> first;  // the map's first entries; the rest keep their identity
  } cases[] = {
      {"0,1,2", {0, 1, 2, 3}},
      {"7,6", {7, 6, 2, 3}},
      {"3, 4, 5", {3, 4, 2, 3}},      // a blank spoils the entry after it, not its value
      {"3 ,4", {3, 1, 2}},           // a blank after the digits stops reading there
      {"9x,8", {9, 1, 2}},            // leading digits of a bad entry
      {"x,8", {0, 1, 2}},
      {"", {0, 1, 2}},
      {",5", {0, 1, 2}},
      {"1,,5", {1, 0, 2}},
      {"15,14,13,12,11,10,9,8,7,6,5,4,3,2,1,0,99", {15, 14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0}},
      {"300", {255, 1}},             // an entry above 15 shows black
  };
  for (const Case& c : cases) {
    uint8_t map[16];
    console::parseColourMap(c.text, map);
    for (size_t i = 0; i < 16; ++i) {
      const int want = i < c.first.size() ? c.first[i] : static_cast<int>(i);
      EXPECT_EQ(map[i], want) << "'" << c.text << "' entry " << i;
    }
  }
}

TEST(Palette, FixedColoursAndBlackBeyond) {
  using platform::Rgb;
  EXPECT_EQ(console::paletteColour(5), (Rgb{142, 0, 142}));
  EXPECT_EQ(console::paletteColour(6), (Rgb{68, 34, 34}));
  EXPECT_EQ(console::paletteColour(8), (Rgb{40, 40, 40}));
  EXPECT_EQ(console::paletteColour(15), (Rgb{255, 255, 255}));
  EXPECT_EQ(console::paletteColour(16), (Rgb{0, 0, 0}));
  EXPECT_EQ(console::paletteColour(255), (Rgb{0, 0, 0}));
}

}  // namespace


