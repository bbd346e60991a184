#include "platform/tty_colours.h"

#include <cstdlib>

namespace platform {
namespace {

// The ANSI colours as terminals show them by default (the VGA values).
constexpr Rgb kAnsi[16] = {{0, 0, 0},       {170, 0, 0},     {0, 170, 0},     {170, 85, 0},
                           {0, 0, 170},     {170, 0, 170},   {0, 170, 170},   {170, 170, 170},
                           {85, 85, 85},    {255, 85, 85},   {85, 255, 85},   {255, 255, 85},
                           {85, 85, 255},   {255, 85, 255},  {85, 255, 255},  {255, 255, 255}};

// The six levels of each channel in the 256-colour cube.
constexpr int kCube[6] = {0, 95, 135, 175, 215, 255};

int distance(Rgb a, Rgb b) {
  const int dr = a.r - b.r, dg = a.g - b.g, db = a.b - b.b;
  return dr * dr + dg * dg + db * db;
}

int nearestLevel(int v) {
  int best = 0;
  for (int i = 1; i < 6; ++i) {
    if (std::abs(kCube[i] - v) < std::abs(kCube[best] - v)) best = i;
  }
  return best;
}

int nearestAnsi(Rgb c) {
  int best = 0;
  for (int i = 1; i < 16; ++i) {
    if (distance(c, kAnsi[i]) < distance(c, kAnsi[best])) best = i;
  }
  return best == 0 && !(c == Rgb{}) ? 8 : best;
}

int nearest256(Rgb c) {
  const int r = nearestLevel(c.r), g = nearestLevel(c.g), b = nearestLevel(c.b);
  const Rgb cube{static_cast<uint8_t>(kCube[r]), static_cast<uint8_t>(kCube[g]), static_cast<uint8_t>(kCube[b])};
  const int inCube = 16 + 36 * r + 6 * g + b;
  // The grey ramp 232-255 runs from 8 to 238 in steps of 10.
  const int mean = (c.r + c.g + c.b) / 3;
  const int step = std::min(23, std::max(0, (mean - 3) / 10));
  const auto level = static_cast<uint8_t>(8 + 10 * step);
  const Rgb grey{level, level, level};
  return distance(c, grey) < distance(c, cube) ? 232 + step : inCube;
}

}  // namespace

ColourDepth colourDepth(int terminfoColours, bool direct) {
  if (terminfoColours < 8) return ColourDepth::None;
  if (direct) return ColourDepth::Direct;
  if (terminfoColours >= 256) return ColourDepth::Palette256;
  return terminfoColours >= 16 ? ColourDepth::Sixteen : ColourDepth::Eight;
}

int terminalColour(Rgb c, ColourDepth depth) {
  switch (depth) {
    case ColourDepth::Eight:
    case ColourDepth::Sixteen: return nearestAnsi(c);
    case ColourDepth::Palette256: return nearest256(c);
    default: return -1;
  }
}

}  // namespace platform
