// PNG pictures through libpng's simplified reader.
#include <png.h>

#include <bit>

#include "console/picture.h"

namespace console {

static_assert(std::endian::native == std::endian::little, "PNG_FORMAT_BGRA gives 0xAARRGGBB only on little-endian");

bool decodePng(std::string_view file, Bitmap& out) {
  if (file.size() < 8 || png_sig_cmp(reinterpret_cast<png_const_bytep>(file.data()), 0, 8) != 0) return false;
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&image, file.data(), file.size())) return false;
  if (!pictureSizeAcceptable(image.width, image.height)) {
    png_image_free(&image);
    return false;
  }
  image.format = PNG_FORMAT_BGRA;
  Bitmap bitmap;
  bitmap.width = static_cast<int>(image.width);
  bitmap.height = static_cast<int>(image.height);
  bitmap.pixels.assign(static_cast<size_t>(image.width) * image.height, 0);
  // Frees the image on success and failure alike.
  if (!png_image_finish_read(&image, nullptr, bitmap.pixels.data(), 0, nullptr)) return false;
  out = std::move(bitmap);
  return true;
}

}  // namespace console
