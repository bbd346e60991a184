// The screen as text, for --screen-out: written at every exit.
#include <cstdio>
#include <cstdlib>

#include "console/console_state.h"
#include "platform/base/codepage.h"
#include "platform/base/printable.h"
#include "platform/output_file.h"

namespace console {
namespace {

FILE* g_screenOut = nullptr;
std::string g_screenPath;

void writeScreenOut() {
  const std::string text = screenText();
  if (std::fwrite(text.data(), 1, text.size(), g_screenOut) != text.size() || std::fflush(g_screenOut) != 0)
    platform::outputFailed("the screen dump " + g_screenPath);
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

bool setScreenOut(const std::string& hostFile) {
  if (hostFile.empty() || g_screenOut) return true;
  g_screenOut = platform::openOutputFile(hostFile);
  if (!g_screenOut) return false;
  g_screenPath = hostFile;
  std::atexit(writeScreenOut);
  std::at_quick_exit(writeScreenOut);
  return true;
}

}  // namespace console
