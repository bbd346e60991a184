#include "net/page_lines.h"

namespace net {

void feedPageLines(PageLines& p, std::string_view bytes, std::string& out) {
  for (const char c : bytes) {
    if (c == '\n') {
      out += "\r\n";
      p.pendingCr = p.lineOpen = false;
      continue;
    }
    if (p.pendingCr) out += '\r';
    p.pendingCr = c == '\r';
    if (!p.pendingCr) out += c;
    p.lineOpen = true;
  }
}

void finishPageLines(PageLines& p, std::string& out) {
  if (p.lineOpen) out += "\r\n";
  out += "\r\n";
  p = PageLines{};
}

}  // namespace net
