// One picture drawn over the text: Windows BMP files with a 40-byte header,
// JPEG and PNG.
#pragma once
#include <cstdint>
#include <string_view>
#include <vector>

namespace console {

struct Bitmap {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;  // 0xAARRGGBB, top row first
};

// Decodes the bytes of a BMP file; false for anything but an uncompressed
// 40-byte-header BMP of 1, 4, 8, 16, 24 or 32 bits whose sizes fit the file.
bool decodeBmp(std::string_view file, Bitmap& out);
// JPEG (baseline or progressive, colour or grey) and PNG; false for a file
// that is not one, is damaged, ends early or claims a size it cannot be.
bool decodeJpeg(std::string_view file, Bitmap& out);
bool decodePng(std::string_view file, Bitmap& out);
// Whichever of the three the bytes are, told by their first bytes.
bool decodePicture(std::string_view file, Bitmap& out);

// Whether a picture of that size may be decoded: a header claiming more lies,
// or would take the machine's memory.
bool pictureSizeAcceptable(uint64_t width, uint64_t height);

// Loads a file (a script's path) as the overlay, placed at (0, 0); on failure
// the old overlay stays.
bool loadPicture(std::string_view path);
// Draws the overlay at (x, y); the transcript's PICTURE event says which file,
// where and how large.
void showPicture(int x, int y);
// Takes the overlay away (an empty PICTURE event when one was there).
void clearPicture();

}  // namespace console
