#include "console/magnifier.h"

#include <algorithm>
#include <charconv>
#include <string>

#include "console/console_state.h"
#include "platform/platform.h"
#include "settings/settings.h"

namespace console {
namespace {

struct Magnifier {
  int factor = 0;
  int text = 14, background = 6, cursor = 3;
  int font = -1;
  platform::FontMetrics cell;
  int first = 1;  // first visible position, kept between calls
};

Magnifier g_mag;

// A whole number within [lo, hi], else the fallback.
int setting(const char* key, int lo, int hi, int fallback) {
  const std::string v = settings::readSetting("BAIXAVISAO", key);
  int n = 0;
  const auto [end, ec] = std::from_chars(v.data(), v.data() + v.size(), n);
  return ec == std::errc() && end == v.data() + v.size() && n >= lo && n <= hi ? n : fallback;
}

}  // namespace

void loadMagnifierSettings() {
  g_mag = Magnifier{};
  if (!settings::readSetting("BAIXAVISAO", "AMPLIACAO").empty()) g_mag.factor = setting("AMPLIACAO", 0, 10, 3);
  g_mag.text = setting("CORLETRA", 0, 15, 14);
  g_mag.background = setting("CORFUNDO", 0, 15, 6);
  g_mag.cursor = setting("CORCURSOR", 0, 15, 3);
  if (g_mag.factor <= 0) return;
  ensureConsole();
  platform::FontSpec spec = g_screen.fontSpec;
  spec.width *= g_mag.factor;
  spec.height *= g_mag.factor;
  g_mag.font = platform::backend().openFont(spec, g_mag.cell);
}

int magnifierFactor() { return g_mag.factor; }

void showMagnifiedLine(std::string_view text, int p) {
  if (g_mag.factor <= 0 || g_mag.font < 0) return;
  const int visible = kColumns / g_mag.factor;
  if (p - 1 < g_mag.first) g_mag.first = std::max(p - 1, 1);
  else if (p > g_mag.first + visible - 1) g_mag.first = p - visible;
  std::string piece;
  const size_t from = static_cast<size_t>(g_mag.first - 1);
  if (from < text.size()) piece = std::string(text.substr(from, static_cast<size_t>(visible)));
  piece.resize(static_cast<size_t>(visible), ' ');
  const int at = std::clamp(p - g_mag.first, 0, visible - 1);
  const platform::Rgb fg = colourOf(g_mag.text), bg = colourOf(g_mag.background);
  const int cw = g_mag.cell.cellWidth;
  platform::Backend& be = platform::backend();
  be.drawText(g_mag.font, 0, 0, std::string_view(piece).substr(0, static_cast<size_t>(at)), fg, bg);
  be.drawText(g_mag.font, at * cw, 0, std::string_view(piece).substr(static_cast<size_t>(at), 1),
              colourOf(g_mag.cursor), bg);
  be.drawText(g_mag.font, (at + 1) * cw, 0, std::string_view(piece).substr(static_cast<size_t>(at) + 1), fg, bg);
  be.present();
}

void hideMagnifiedLine() {
  if (g_mag.factor <= 0) return;
  paint({0, 0, kColumns * g_screen.cell.cellWidth, kRows * g_screen.cell.cellHeight});
}

}  // namespace console
