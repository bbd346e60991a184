#include "platform/events.h"

namespace platform {
namespace {

Event keyEvent(EventType type, int key, Mods mods) {
  Event e;
  e.type = type;
  e.key = key;
  e.mods = mods;
  e.system = type == EventType::KeyDown && isSystemKey(key, mods);
  return e;
}

Event charEvent(unsigned char ch) {
  Event e;
  e.type = EventType::Char;
  e.ch = ch;
  return e;
}

}  // namespace

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

void pressKey(int key, Mods mods, std::vector<Event>& out) {
  out.push_back(keyEvent(EventType::KeyDown, key, mods));
  if (key == kKeyCancel) return;
  int c = controlChar(key, mods);
  if (key == kKeySpace && !mods.alt) c = ' ';
  if (c >= 0) out.push_back(charEvent(static_cast<unsigned char>(c)));
  out.push_back(keyEvent(EventType::KeyUp, key, mods));
}

void pressCharacter(unsigned char ch, Mods& mods, std::vector<Event>& out) {
  int key = kKeyOther;
  if (ch >= 'a' && ch <= 'z') {
    key = ch - 32;
  } else if (ch >= 'A' && ch <= 'Z') {
    key = ch;
    mods.shift = true;
  } else if ((ch >= '0' && ch <= '9') || (ch >= '[' && ch <= ']')) {
    key = ch;
  } else if (ch == ' ') {
    key = kKeySpace;
  } else if (ch == '\t') {
    key = kKeyTab;
  }
  out.push_back(keyEvent(EventType::KeyDown, key, mods));
  if (!mods.ctrl && !mods.alt) {
    out.push_back(charEvent(ch));
  } else if (const int c = controlChar(key, mods); c >= 0) {
    out.push_back(charEvent(static_cast<unsigned char>(c)));
  }
  out.push_back(keyEvent(EventType::KeyUp, key, mods));
}

}  // namespace platform
