#include "console/picture_files.h"

#include <cstdio>  // jpeglib.h needs FILE and size_t before it
#include <cstdlib>

#include <jpeglib.h>
#include <png.h>

namespace testsupport {

std::string jpegFile(int width, int height, const std::vector<uint32_t>& pixels, bool grey) {
  jpeg_compress_struct info{};
  jpeg_error_mgr errors{};
  info.err = jpeg_std_error(&errors);
  jpeg_create_compress(&info);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&info, &buffer, &size);
  info.image_width = static_cast<JDIMENSION>(width);
  info.image_height = static_cast<JDIMENSION>(height);
  info.input_components = grey ? 1 : 3;
  info.in_color_space = grey ? JCS_GRAYSCALE : JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, 95, TRUE);
  // Colour at full resolution: an edge between flat 8 x 8 blocks stays sharp.
  info.comp_info[0].h_samp_factor = 1;
  info.comp_info[0].v_samp_factor = 1;
  jpeg_start_compress(&info, TRUE);
  std::vector<uint8_t> row(static_cast<size_t>(width) * 3);
  while (info.next_scanline < info.image_height) {
    for (int x = 0; x < width; ++x) {
      const uint32_t p = pixels[info.next_scanline * static_cast<size_t>(width) + static_cast<size_t>(x)];
      if (grey) {
        row[static_cast<size_t>(x)] = static_cast<uint8_t>(p);
      } else {
        row[static_cast<size_t>(x) * 3] = static_cast<uint8_t>(p >> 16);
        row[static_cast<size_t>(x) * 3 + 1] = static_cast<uint8_t>(p >> 8);
        row[static_cast<size_t>(x) * 3 + 2] = static_cast<uint8_t>(p);
      }
    }
    JSAMPROW line = row.data();
    jpeg_write_scanlines(&info, &line, 1);
  }
  jpeg_finish_compress(&info);
  std::string file(reinterpret_cast<const char*>(buffer), size);
  jpeg_destroy_compress(&info);
  std::free(buffer);
  return file;
}

std::string pngFile(int width, int height, const std::vector<uint32_t>& pixels) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(width);
  image.height = static_cast<png_uint_32>(height);
  image.format = PNG_FORMAT_BGRA;
  png_alloc_size_t size = 0;
  png_image_write_to_memory(&image, nullptr, &size, 0, pixels.data(), 0, nullptr);
  std::string file(size, '\0');
  png_image_write_to_memory(&image, file.data(), &size, 0, pixels.data(), 0, nullptr);
  file.resize(size);
  return file;
}

}  // namespace testsupport
