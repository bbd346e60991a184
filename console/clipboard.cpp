#include "console/clipboard.h"

#include "console/screen.h"
#include "platform/base/codepage.h"
#include "platform/platform.h"

namespace console {

void copyToClipboard(std::string_view text) {
  ensureConsole();
  // The text ends at its first zero, as a C string on the clipboard does.
  platform::backend().setClipboard(platform::cp1252ToUtf8(text.substr(0, text.find('\0'))));
}

std::string pasteFromClipboard(size_t size) {
  ensureConsole();
  std::string utf8;
  if (size == 0 || !platform::backend().getClipboard(utf8)) return {};
  std::string text = platform::utf8ToCp1252(utf8);
  if (text.size() > size - 1) text.resize(size - 1);
  return text;
}

}  // namespace console
