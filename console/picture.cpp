#include "console/picture.h"

#include <string>

#include "console/console_state.h"
#include "platform/base/paths.h"
#include "platform/platform.h"
#include "platform/transcript.h"

namespace console {
namespace {

// The largest side accepted, and the most pixels (a 48-megapixel photograph,
// 192 MiB as the overlay holds it).
constexpr int64_t kMaxSide = 32768;
constexpr uint64_t kMaxPixels = 48u << 20;

uint32_t le(std::string_view f, size_t at, int bytes) {
  uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = v << 8 | static_cast<uint8_t>(f[at + static_cast<size_t>(i)]);
  return v;
}

}  // namespace

bool pictureSizeAcceptable(uint64_t width, uint64_t height) {
  return width > 0 && height > 0 && width <= kMaxSide && height <= kMaxSide && width * height <= kMaxPixels;
}

bool decodePicture(std::string_view file, Bitmap& out) {
  return decodeBmp(file, out) || decodeJpeg(file, out) || decodePng(file, out);
}

bool decodeBmp(std::string_view f, Bitmap& out) {
  if (f.size() < 54 || f[0] != 'B' || f[1] != 'M' || le(f, 14, 4) != 40) return false;
  const uint32_t dataOffset = le(f, 10, 4);
  const auto width = static_cast<int32_t>(le(f, 18, 4));
  const auto rawHeight = static_cast<int32_t>(le(f, 22, 4));
  const uint32_t bits = le(f, 28, 2);
  const uint32_t compression = le(f, 30, 4);
  uint32_t colours = le(f, 46, 4);
  if (compression != 0 || width <= 0 || rawHeight == 0) return false;
  if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) return false;
  const int64_t height = rawHeight < 0 ? -int64_t{rawHeight} : rawHeight;
  if (!pictureSizeAcceptable(static_cast<uint64_t>(width), static_cast<uint64_t>(height))) return false;
  // A palette of "0 colours" means the full one for the bit count.
  if (bits <= 8 && (colours == 0 || colours > (1u << bits))) colours = 1u << bits;
  if (bits > 8) colours = 0;
  if (54 + size_t{colours} * 4 > f.size()) return false;
  const size_t stride = (static_cast<size_t>(width) * bits + 31) / 32 * 4;
  const size_t imageSize = static_cast<size_t>(height) * stride;
  if (dataOffset > f.size() || f.size() - dataOffset < imageSize) return false;

  out.width = width;
  out.height = static_cast<int>(height);
  out.pixels.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
  for (int64_t y = 0; y < height; ++y) {
    const size_t srcRow = dataOffset + static_cast<size_t>(rawHeight < 0 ? y : height - 1 - y) * stride;
    uint32_t* dst = &out.pixels[static_cast<size_t>(y) * static_cast<size_t>(width)];
    for (int x = 0; x < width; ++x) {
      uint32_t rgb = 0;
      if (bits <= 8) {
        const size_t bit = static_cast<size_t>(x) * bits;
        const uint32_t byte = static_cast<uint8_t>(f[srcRow + bit / 8]);
        const uint32_t index = (byte >> (8 - bits - bit % 8)) & ((1u << bits) - 1);
        rgb = index < colours ? le(f, 54 + index * 4, 3) : 0;
      } else if (bits == 16) {
        const uint32_t v = le(f, srcRow + static_cast<size_t>(x) * 2, 2);
        const uint32_t r = (v >> 10) & 31, g = (v >> 5) & 31, b = v & 31;
        rgb = (r * 255 / 31) << 16 | (g * 255 / 31) << 8 | (b * 255 / 31);
      } else {
        rgb = le(f, srcRow + static_cast<size_t>(x) * (bits / 8), 3);
      }
      dst[x] = 0xFF000000u | rgb;
    }
  }
  return true;
}

bool loadPicture(std::string_view path) {
  ensureConsole();
  std::string bytes;
  Bitmap bmp;
  if (!platform::readWholeFile(platform::hostPath(path), bytes) || !decodePicture(bytes, bmp)) return false;
  const int handle = platform::backend().createPicture(bmp.width, bmp.height, bmp.pixels);
  if (handle < 0) return false;
  if (g_screen.picture.handle >= 0) platform::backend().destroyPicture(g_screen.picture.handle);
  g_screen.picture = Picture{handle, 0, 0, bmp.width, bmp.height, std::string(path)};
  return true;
}

void showPicture(int x, int y) {
  ensureConsole();
  g_screen.picture.x = x;
  g_screen.picture.y = y;
  if (g_screen.picture.handle < 0) return;
  const Picture& p = g_screen.picture;
  platform::transcriptEvent("PICTURE", p.file + ' ' + std::to_string(x) + ' ' + std::to_string(y) + ' ' +
                                           std::to_string(p.width) + 'x' + std::to_string(p.height));
  platform::backend().drawPicture(g_screen.picture.handle, x, y);
  platform::backend().present();
}

void clearPicture() {
  ensureConsole();
  if (g_screen.picture.handle >= 0) {
    platform::backend().destroyPicture(g_screen.picture.handle);
    platform::transcriptEvent("PICTURE", "");
  }
  g_screen.picture = Picture{};
  paint({0, 0, kColumns * g_screen.cell.cellWidth, kRows * g_screen.cell.cellHeight});
  pumpMessages();
}

}  // namespace console
