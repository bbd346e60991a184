// Keys, texts and clicks injected into the desktop, so that they go to
// whatever window has the focus (the console included). Each returns false
// when there is no desktop to inject into.
#pragma once
#include <cstdint>
#include <string_view>

namespace automation {

// Modifiers down (Shift, Ctrl, Alt), the key down and up, the modifiers up
// in the same order, then the pause.
bool pressKey(int key, bool ctrl, bool shift, bool alt, int pauseMs);
bool typeChar(uint8_t c, int pauseMs);
bool typeText(std::string_view text, int pauseMs);
// The key of an ASCII character with no modifier (ACIONA with one character).
bool pressCharKey(uint8_t c);

enum class ClickMode { Single, Double, Move };
bool clickAt(int x, int y, ClickMode mode);
// The origin clicks without TELA are relative to: the window in front's.
bool pointerOrigin(int& x, int& y);

}  // namespace automation
