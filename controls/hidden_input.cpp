#include "controls/hidden_input.h"

#include "console/keyboard.h"
#include "console/screen.h"

namespace controls {

std::string readHiddenLine() {
  constexpr size_t kMaxChars = 126;  // as the console's input stream holds
  std::string line;
  // Typed in black on black, whatever the colours: the screen shows nothing
  // readable and the transcript a "*" for each character.
  const uint8_t attribute = console::textAttribute();
  console::setTextAttribute(0);
  console::setSecretInput(true);
  for (;;) {
    const uint8_t c = console::readKey();
    if (c == 13) break;
    if (c == 8) {
      if (line.empty()) continue;
      console::writeText("\b");
      line.pop_back();
    } else if (c >= 32 && line.size() < kMaxChars) {
      line += static_cast<char>(c);
      console::writeText(std::string(1, static_cast<char>(c)));
    }
  }
  console::setSecretInput(false);
  console::setTextAttribute(attribute);
  console::writeText("\r\n");
  return line;
}

}  // namespace controls
