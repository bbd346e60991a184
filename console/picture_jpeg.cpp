// JPEG pictures through libjpeg-turbo, decoded straight into the overlay's
// pixels.
#include "console/picture.h"

#include <bit>
#include <csetjmp>
#include <cstdio>  // jpeglib.h needs FILE and size_t before it

#include <jpeglib.h>
#include <jerror.h>

namespace console {
namespace {

struct ErrorManager {
  jpeg_error_mgr base;
  std::jmp_buf escape;
};

[[noreturn]] void onError(j_common_ptr info) { std::longjmp(reinterpret_cast<ErrorManager*>(info->err)->escape, 1); }

// A file that ends early would be padded with grey: it is refused instead.
// Other warnings (a damaged stretch of data) still show what can be shown.
void onMessage(j_common_ptr info, int level) {
  if (level < 0 && info->err->msg_code == JWRN_JPEG_EOF) onError(info);
}

void quiet(j_common_ptr) {}

// Kept apart from decodeJpeg so that no object with a destructor lives in
// the frame that longjmp leaves.
bool decode(jpeg_decompress_struct& info, ErrorManager& errors, const uint8_t* data, size_t size, Bitmap& out) {
  if (setjmp(errors.escape)) return false;
  jpeg_mem_src(&info, data, static_cast<unsigned long>(size));
  if (jpeg_read_header(&info, TRUE) != JPEG_HEADER_OK) return false;
  if (!pictureSizeAcceptable(info.image_width, info.image_height)) return false;
  info.out_color_space = JCS_EXT_BGRA;  // 0xAARRGGBB in memory on this little-endian machine
  jpeg_start_decompress(&info);
  out.width = static_cast<int>(info.output_width);
  out.height = static_cast<int>(info.output_height);
  out.pixels.assign(static_cast<size_t>(out.width) * static_cast<size_t>(out.height), 0);
  while (info.output_scanline < info.output_height) {
    JSAMPROW row = reinterpret_cast<JSAMPROW>(&out.pixels[static_cast<size_t>(info.output_scanline) * info.output_width]);
    jpeg_read_scanlines(&info, &row, 1);
  }
  jpeg_finish_decompress(&info);
  return true;
}

}  // namespace

static_assert(std::endian::native == std::endian::little, "JCS_EXT_BGRA gives 0xAARRGGBB only on little-endian");

bool decodeJpeg(std::string_view file, Bitmap& out) {
  if (file.size() < 3 || file.substr(0, 3) != "\xFF\xD8\xFF") return false;
  jpeg_decompress_struct info{};
  ErrorManager errors{};
  info.err = jpeg_std_error(&errors.base);
  errors.base.error_exit = onError;
  errors.base.emit_message = onMessage;
  errors.base.output_message = quiet;
  jpeg_create_decompress(&info);
  const bool ok = decode(info, errors, reinterpret_cast<const uint8_t*>(file.data()), file.size(), out);
  jpeg_destroy_decompress(&info);
  if (!ok) out = Bitmap{};
  return ok;
}

}  // namespace console
