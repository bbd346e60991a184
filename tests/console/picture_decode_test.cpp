// JPEG and PNG decoding for the picture overlay: what a picture holds comes
// through, and files that lie about themselves or end early are refused.
#include <gtest/gtest.h>

#include <cstdlib>

#include "console/picture.h"
#include "console/picture_files.h"

namespace {

using testsupport::jpegFile;
using testsupport::pngFile;

// 16 x 8: the left half red, the right half blue; JPEG keeps flat areas
// within a few steps.
std::vector<uint32_t> halves() {
  std::vector<uint32_t> p(16 * 8);
  for (size_t i = 0; i < p.size(); ++i) p[i] = i % 16 < 8 ? 0xFFFF0000u : 0xFF0000FFu;
  return p;
}

bool near(uint32_t a, uint32_t b) {
  for (int shift : {0, 8, 16, 24}) {
    if (std::abs(static_cast<int>(a >> shift & 0xFF) - static_cast<int>(b >> shift & 0xFF)) > 12) return false;
  }
  return true;
}

TEST(PictureDecode, JpegAndPngComeThroughEachDecoderAndTheSniffer) {
  const std::vector<uint32_t> greys = {0xFF000000, 0xFF404040, 0xFF808080, 0xFFC0C0C0, 0xFFFFFFFF, 0xFF202020,
                                       0xFF606060, 0xFFA0A0A0};
  // PNG is exact, and keeps transparency.
  const std::vector<uint32_t> mixed = {0xFF102030, 0x80FFFFFF, 0x00000000, 0xFFABCDEF, 0xFF000001, 0xFFFEFEFE};
  struct Case {
    const char* name;
    std::string file;
    int width, height;
    std::vector<uint32_t> pixels;
    bool exact;
  } cases[] = {
      {"colour JPEG", jpegFile(16, 8, halves()), 16, 8, halves(), false},
      {"grey JPEG", jpegFile(8, 1, greys, true), 8, 1, greys, false},
      {"PNG with alpha", pngFile(3, 2, mixed), 3, 2, mixed, true},
  };
  for (const Case& c : cases) {
    console::Bitmap b;
    ASSERT_TRUE(console::decodePicture(c.file, b)) << c.name;
    EXPECT_EQ(b.width, c.width) << c.name;
    EXPECT_EQ(b.height, c.height) << c.name;
    ASSERT_EQ(b.pixels.size(), c.pixels.size()) << c.name;
    for (size_t i = 0; i < c.pixels.size(); ++i) {
      if (c.exact) EXPECT_EQ(b.pixels[i], c.pixels[i]) << c.name << " pixel " << i;
      else EXPECT_TRUE(near(b.pixels[i], c.pixels[i])) << c.name << " pixel " << i << ": " << std::hex << b.pixels[i];
    }
  }
}

// Sets the big-endian 16-bit value at `at`.
std::string withWord(std::string file, size_t at, uint16_t value) {
  file[at] = static_cast<char>(value >> 8);
  file[at + 1] = static_cast<char>(value);
  return file;
}

size_t findMarker(const std::string& file, char marker) { return file.find(std::string("\xFF") + marker); }

TEST(PictureDecode, DamagedAndLyingFilesAreRefused) {
  const std::string jpeg = jpegFile(16, 8, halves());
  const std::string png = pngFile(16, 8, halves());
  const size_t sof = findMarker(jpeg, '\xC0');  // frame header: length, precision, height, width
  ASSERT_NE(sof, std::string::npos);
  const size_t ihdr = png.find("IHDR");
  std::string pngHuge = png;
  pngHuge.replace(ihdr + 4, 8, std::string("\x00\x01\x00\x00\x00\x01\x00\x00", 8));  // 65536 x 65536
  struct Case {
    const char* name;
    std::string file;
  } cases[] = {
      {"JPEG cut in its data", jpeg.substr(0, jpeg.size() / 2)},
      {"JPEG cut in its header", jpeg.substr(0, sof + 4)},
      {"JPEG claiming 60000 x 60000", withWord(withWord(jpeg, sof + 5, 60000), sof + 7, 60000)},
      {"JPEG start and nothing", std::string("\xFF\xD8\xFF", 3)},
      {"PNG cut in its data", png.substr(0, png.size() - 20)},
      {"PNG claiming 65536 x 65536", pngHuge},
      {"PNG signature alone", png.substr(0, 8)},
      {"neither", "GIF89a...."},
      {"empty", ""},
  };
  for (const Case& c : cases) {
    console::Bitmap b;
    EXPECT_FALSE(console::decodePicture(c.file, b)) << c.name;
    EXPECT_TRUE(b.pixels.empty()) << c.name;
  }
}

}  // namespace
