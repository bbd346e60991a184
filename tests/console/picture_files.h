// JPEG and PNG files made in the test from pixels, through the same libraries
// the console decodes them with.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace testsupport {

// `pixels` are 0xAARRGGBB, top row first; `grey` makes a one-channel JPEG.
std::string jpegFile(int width, int height, const std::vector<uint32_t>& pixels, bool grey = false);
std::string pngFile(int width, int height, const std::vector<uint32_t>& pixels);

}  // namespace testsupport
