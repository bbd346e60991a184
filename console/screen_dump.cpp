// The screen as text, for --screen-out: written at every exit.
#include <cstdio>
#include <cstdlib>

#include "console/console_state.h"
#include "platform/base/codepage.h"
#include "platform/base/printable.h"

namespace console {
namespace {

std::string g_screenOut;

void writeScreenOut() {
  if (FILE* f = std::fopen(g_screenOut.c_str(), "w")) {
    const std::string text = screenText();
    std::fwrite(text.data(), 1, text.size(), f);
    std::fclose(f);
  }
}

}  // namespace

std::string screenText() {
  std::string out;
  for (int r = 0; r < kRows; ++r) {
    std::string row;
    if (g_screen.gridsFilled) {
      for (int c = 0; c < kColumns; ++c) {
        const uint8_t a = g_screen.attrs[r][c];
        const bool hidden = colourOf(a & 15) == colourOf(a >> 4);
        row += hidden ? ' ' : static_cast<char>(g_screen.chars[r][c]);
      }
    }
    while (!row.empty() && row.back() == ' ') row.pop_back();
    out += platform::printable(platform::cp1252ToUtf8(row));
    out += '\n';
  }
  return out;
}

void setScreenOut(const std::string& hostFile) {
  if (hostFile.empty() || !g_screenOut.empty()) return;
  g_screenOut = hostFile;
  std::atexit(writeScreenOut);
}

}  // namespace console
