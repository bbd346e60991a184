// Keys by the window system's virtual key numbers, the way scripts name them
// ("#" and a number in ACIONA). Letters and digits are their upper-case codes.
#pragma once

namespace automation {

enum VirtualKey : int {
  kVkBack = 8,
  kVkTab = 9,
  kVkReturn = 13,
  kVkShift = 16,
  kVkControl = 17,
  kVkMenu = 18,  // Alt
  kVkEscape = 27,
  kVkSpace = 32,
  kVkPrior = 33,
  kVkNext = 34,
  kVkEnd = 35,
  kVkHome = 36,
  kVkLeft = 37,
  kVkUp = 38,
  kVkRight = 39,
  kVkDown = 40,
  kVkSnapshot = 44,
  kVkInsert = 45,
  kVkDelete = 46,
  kVkF1 = 112,  // F2 .. F24 follow
  kVkNumLock = 144,
};

// Above every virtual key: the key that types this character (kCharKey + c),
// for characters the virtual keys do not name ("[", "@").
constexpr int kCharKey = 0x10000;

}  // namespace automation
