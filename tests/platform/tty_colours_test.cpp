// The console's sixteen colours on terminals of each depth.
#include <gtest/gtest.h>

#include "platform/tty_colours.h"

namespace platform {
namespace {

// The console's palette, in its own order.
constexpr Rgb kPalette[16] = {
    {0, 0, 0},       {0, 0, 255},     {0, 255, 0},     {0, 255, 255},   {255, 0, 0},     {142, 0, 142},
    {68, 34, 34},    {192, 192, 192}, {40, 40, 40},    {128, 128, 255}, {128, 255, 128}, {128, 255, 255},
    {255, 128, 128}, {255, 128, 255}, {255, 255, 0},   {255, 255, 255}};

TEST(TtyColours, ThePaletteOnEachDepth) {
  struct Case {
    int sixteen;  // ANSI order: red 1, green 2, yellow 3, blue 4 ...
    int palette256;
  };
  const Case want[16] = {{0, 16},  {4, 21},   {2, 46},   {14, 51},  {1, 196},  {5, 90},   {8, 236},  {7, 250},
                         {8, 235}, {12, 105}, {10, 120}, {14, 123}, {9, 210}, {13, 213}, {11, 226}, {15, 231}};
  for (int i = 0; i < 16; ++i) {
    EXPECT_EQ(terminalColour(kPalette[i], ColourDepth::Sixteen), want[i].sixteen) << "colour " << i;
    EXPECT_EQ(terminalColour(kPalette[i], ColourDepth::Eight), want[i].sixteen) << "colour " << i;
    EXPECT_EQ(terminalColour(kPalette[i], ColourDepth::Palette256), want[i].palette256) << "colour " << i;
    EXPECT_EQ(terminalColour(kPalette[i], ColourDepth::Direct), -1) << "colour " << i;
  }
}

// Dark grey is nearer black than grey among the sixteen, yet text in it must stay visible.
TEST(TtyColours, OnlyBlackIsBlack) {
  for (uint8_t v = 1; v < 60; ++v) EXPECT_NE(terminalColour(Rgb{v, v, v}, ColourDepth::Sixteen), 0) << int(v);
  EXPECT_EQ(terminalColour(Rgb{}, ColourDepth::Sixteen), 0);
}

TEST(TtyColours, DepthFromTheDescription) {
  struct Case {
    int colours;
    bool direct;
    ColourDepth want;
  };
  const Case cases[] = {{-1, false, ColourDepth::None}, {2, true, ColourDepth::None},
                        {8, false, ColourDepth::Eight}, {16, false, ColourDepth::Sixteen},
                        {88, false, ColourDepth::Sixteen}, {256, false, ColourDepth::Palette256},
                        {256, true, ColourDepth::Direct}, {0x1000000, false, ColourDepth::Palette256}};
  for (const Case& c : cases) EXPECT_EQ(colourDepth(c.colours, c.direct), c.want) << c.colours << " " << c.direct;
}

}  // namespace
}  // namespace platform
