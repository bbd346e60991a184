// One picture drawn over the text: Windows BMP files with a 40-byte header.
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

// Loads a file (a script's path) as the overlay, placed at (0, 0); on failure
// the old overlay stays.
bool loadPicture(std::string_view path);
void showPicture(int x, int y);
void clearPicture();

}  // namespace console
