#include "platform/events.h"

namespace platform {

bool isSystemKey(int key, Mods mods) {
  return (mods.alt && !mods.ctrl) || (key == kKeyF1 + 9 && !mods.ctrl);
}

int controlChar(int key, Mods mods) {
  if (mods.alt) return -1;
  switch (key) {
    case kKeyEnter: return mods.ctrl ? 10 : 13;
    case kKeyBackspace: return mods.ctrl ? 127 : 8;
    case kKeyEscape: return 27;
    case kKeyTab: return mods.ctrl ? -1 : 9;
    default: break;
  }
  // Ctrl+A to Ctrl+Z give 1 to 26; Ctrl+[, Ctrl+\ and Ctrl+] go on to 29.
  if (mods.ctrl && key >= 'A' && key <= ']') return key - 'A' + 1;
  return -1;
}

}  // namespace platform
