// What a terminal sends for keys and the mouse, decoded: the bytes of a
// character (UTF-8 or the locale's one-byte charset), control codes, the
// sequences terminfo names and the common xterm ones (CSI and SS3 with their
// modifier parameter, SGR and X10 mouse reports). A lone Esc cannot be told
// from the start of a sequence until a short time has passed: the caller
// says when that time is up.
#pragma once
#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "platform/events.h"

namespace platform {

// One thing the user did at the terminal.
struct TermInput {
  enum class Kind { Key, Char, Mouse, Wheel };
  Kind kind = Kind::Key;
  int key = kKeyNone;    // Key
  unsigned char ch = 0;  // Char: Windows-1252
  Mods mods;
  int button = 0;  // Mouse: kMouseLeft, kMouseRight or kMouseMiddle
  int wheel = 0;   // Wheel: +1 away from the user, -1 toward
  int column = 0, row = 0;  // Mouse and Wheel: the cell, from 0
  bool operator==(const TermInput&) const = default;
};

// A sequence the terminal's description names, and the key it stands for.
struct TermSequence {
  std::string bytes;
  int key = kKeyNone;
  Mods mods;
};

// The terminfo key capabilities and what they mean: (name, key, mods).
struct TermKeyCap {
  const char* name;
  int key;
  Mods mods;
};
const std::vector<TermKeyCap>& termKeyCaps();

// For a charset of one byte a character: the Windows-1252 byte of each byte
// the terminal sends, -1 where the code page lacks it.
using ByteCharset = std::array<int, 256>;

class TermKeyDecoder {
 public:
  // `utf8` false reads bytes from 128 up through `charset`.
  TermKeyDecoder(std::vector<TermSequence> sequences, bool utf8, const ByteCharset& charset);

  void feed(std::string_view bytes) { buffer_ += bytes; }
  // The next complete input. With `flush` (the Esc time is up) what waits
  // for more is taken as it stands: Esc alone, or Alt with the next byte.
  bool next(TermInput& out, bool flush);
  // Whether bytes wait for the rest of their sequence or character.
  bool waiting() const { return !buffer_.empty(); }

 private:
  enum class Match { None, Partial, Complete, Ignored };
  Match sequenceAt(size_t at, TermInput& out, size_t& length) const;
  Match csiAt(size_t at, TermInput& out, size_t& length) const;
  Match characterAt(size_t at, TermInput& out, size_t& length, bool flush) const;

  std::vector<TermSequence> sequences_;
  bool utf8_;
  ByteCharset charset_;
  std::string buffer_;
};

}  // namespace platform
