// The sdl backend for real: a window under a virtual X server, its pixels read
// back from the server.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "console/picture.h"
#include "console/picture_files.h"
#include "console/program.h"
#include "console/screen.h"
#include "support/scratch.h"

// Last: Xlib's macros (None, Expose, ...) would clash with the names above.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace {

struct Pixel {
  int r, g, b;
  bool operator==(const Pixel&) const = default;
};

class Root {
 public:
  Root() {
    display_ = XOpenDisplay(nullptr);
    if (!display_) return;
    const Window root = DefaultRootWindow(display_);
    XWindowAttributes a;
    XGetWindowAttributes(display_, root, &a);
    image_ = XGetImage(display_, root, 0, 0, static_cast<unsigned>(a.width), static_cast<unsigned>(a.height),
                       AllPlanes, ZPixmap);
  }
  ~Root() {
    if (image_) XDestroyImage(image_);
    if (display_) XCloseDisplay(display_);
  }
  bool ok() const { return image_ != nullptr; }
  int width() const { return image_->width; }
  int height() const { return image_->height; }
  Pixel at(int x, int y) const {
    const unsigned long p = XGetPixel(image_, x, y);
    return {static_cast<int>((p >> 16) & 255), static_cast<int>((p >> 8) & 255), static_cast<int>(p & 255)};
  }

 private:
  Display* display_ = nullptr;
  XImage* image_ = nullptr;
};

bool near(Pixel a, Pixel b) { return std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b) <= 24; }

// One window for the process: the text first, then pictures over it.
TEST(SdlWindow, DrawsTextInItsColoursCellByCellAndPicturesOverIt) {
  testsupport::ScratchDir scratch;
  const std::string& dir = scratch.path();
  std::ofstream(dir + "/Escuta.ini") << "[VIDEO]\nLARGURALETRA=10\nALTURALETRA=20\nFONTE=DejaVu Sans Mono\n";
  setenv("ESCUTA_CONFIG_DIR", dir.c_str(), 1);
  const char* argv[] = {"sdl_pixels_test", "--frontend", "sdl"};
  platform::Options options;
  ASSERT_EQ(console::startProgram(3, const_cast<char**>(argv), "", options), -1) << "no sdl backend";

  console::setBackColor(1);
  console::writeText(std::string(80, ' '));  // row 1: all blue
  console::setBackColor(4);
  console::setTextColor(14);
  console::writeText("\r\nMMMM");  // row 2: yellow on red
  console::setBackColor(13);
  console::gotoXY(1, 25);
  console::clearToLineEnd();  // row 25: pink
  for (int i = 0; i < 20; ++i) console::delayMs(25);

  Root root;
  ASSERT_TRUE(root.ok());
  const Pixel blue{0, 0, 255}, red{255, 0, 0}, yellow{255, 255, 0}, pink{255, 128, 255};
  int x0 = -1, y0 = -1;
  for (int y = 0; y < root.height() && x0 < 0; ++y) {
    for (int x = 0; x < root.width(); ++x) {
      if (root.at(x, y) == blue) {
        x0 = x;
        y0 = y;
        break;
      }
    }
  }
  ASSERT_GE(x0, 0) << "the window's first row is not on the screen";
  // Row 1: 80 cells of 10 pixels, 20 high, all background.
  for (int y = y0; y < y0 + 20; ++y) {
    for (int x = x0; x < x0 + 800; ++x) ASSERT_EQ(root.at(x, y), blue) << x - x0 << "," << y - y0;
  }
  EXPECT_NE(root.at(x0 + 800, y0), blue);
  // Row 2: each "M" cell holds glyph pixels in the text colour on the background.
  for (int cell = 0; cell < 4; ++cell) {
    int glyph = 0, back = 0;
    for (int y = y0 + 20; y < y0 + 40; ++y) {
      for (int x = x0 + cell * 10; x < x0 + cell * 10 + 10; ++x) {
        const Pixel p = root.at(x, y);
        glyph += p == yellow;
        back += p == red;
      }
    }
    EXPECT_GT(glyph, 10) << "cell " << cell;
    EXPECT_GT(back, 50) << "cell " << cell;
  }
  // The rest of row 2 keeps its black blanks; row 25 lies 24 rows below row 1.
  for (int x = x0 + 40; x < x0 + 800; ++x) ASSERT_EQ(root.at(x, y0 + 30), (Pixel{0, 0, 0})) << x - x0;
  for (int x = x0; x < x0 + 800; ++x) ASSERT_EQ(root.at(x, y0 + 24 * 20 + 10), pink) << x - x0;

  // Pictures land at window pixels, as IMAGEM places them (each clearing the
  // last): a PNG exactly, a JPEG within its loss.
  const std::string png = dir + "/laranja.png", jpeg = dir + "/verde.jpg";
  // Its last column is transparent: the text's black shows through.
  std::vector<uint32_t> orangePixels(300, 0xFFFF8000u);
  for (size_t i = 29; i < orangePixels.size(); i += 30) orangePixels[i] = 0x00FFFFFFu;
  std::ofstream(png, std::ios::binary) << testsupport::pngFile(30, 10, orangePixels);
  std::ofstream(jpeg, std::ios::binary) << testsupport::jpegFile(40, 20, std::vector<uint32_t>(800, 0xFF00C000u));
  const Pixel black{0, 0, 0}, orange{255, 128, 0}, green{0, 192, 0};
  const auto show = [](const std::string& file, int x, int y) {
    console::clearPicture();
    ASSERT_TRUE(console::loadPicture(file)) << file;
    console::showPicture(x, y);
    for (int i = 0; i < 10; ++i) console::delayMs(25);
  };
  show(png, 100, 200);
  {
    const Root shown;
    for (int y = 200; y < 210; ++y) {
      for (int x = 100; x < 129; ++x) ASSERT_EQ(shown.at(x0 + x, y0 + y), orange) << x << "," << y;
      ASSERT_EQ(shown.at(x0 + 129, y0 + y), black) << y;
    }
    EXPECT_EQ(shown.at(x0 + 130, y0 + 205), black);
    EXPECT_EQ(shown.at(x0 + 115, y0 + 210), black);
  }
  show(jpeg, 300, 200);
  {
    const Root shown;
    EXPECT_EQ(shown.at(x0 + 115, y0 + 205), black) << "the PNG was cleared";
    for (int y = 200; y < 220; y += 3) {
      for (int x = 300; x < 340; x += 3) EXPECT_TRUE(near(shown.at(x0 + x, y0 + y), green)) << x << "," << y;
    }
  }
  console::clearPicture();
  for (int i = 0; i < 10; ++i) console::delayMs(25);
  EXPECT_EQ(Root().at(x0 + 320, y0 + 210), black);
}

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
