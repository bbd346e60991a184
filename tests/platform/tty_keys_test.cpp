// The terminal's bytes as keys, characters and clicks.
#include <gtest/gtest.h>

#include "platform/tty_keys.h"

namespace platform {
namespace {

Mods mods(bool shift, bool ctrl, bool alt) {
  Mods m;
  m.shift = shift;
  m.ctrl = ctrl;
  m.alt = alt;
  return m;
}

TermInput key(int k, Mods m = {}) {
  TermInput in;
  in.kind = TermInput::Kind::Key;
  in.key = k;
  in.mods = m;
  return in;
}

TermInput ch(unsigned char c, Mods m = {}) {
  TermInput in;
  in.kind = TermInput::Kind::Char;
  in.ch = c;
  in.mods = m;
  return in;
}

TermInput click(int button, int column, int row) {
  TermInput in;
  in.kind = TermInput::Kind::Mouse;
  in.button = button;
  in.column = column;
  in.row = row;
  return in;
}

TermInput wheel(int w) {
  TermInput in;
  in.kind = TermInput::Kind::Wheel;
  in.wheel = w;
  return in;
}

// What an xterm-like description names: SS3 cursor keys (keypad transmit
// mode), the Linux console's F1, Backspace as DEL.
std::vector<TermSequence> described() {
  return {{"\x1bOA", kKeyUp, {}}, {"\x1bOP", kKeyF1, {}}, {"\x7f", kKeyBackspace, {}},
          {"\x1b[[A", kKeyF1, {}}, {"\x1b[1;2P", kKeyF1, mods(true, false, false)}};
}

ByteCharset latin1() {
  ByteCharset t;
  for (int i = 0; i < 256; ++i) t[static_cast<size_t>(i)] = i;
  return t;
}

std::vector<TermInput> decode(TermKeyDecoder& d, std::string_view bytes, bool flush) {
  d.feed(bytes);
  std::vector<TermInput> out;
  for (TermInput in; d.next(in, flush);) out.push_back(in);
  return out;
}

struct Case {
  const char* name;
  std::string bytes;
  std::vector<TermInput> want;
};

TEST(TtyKeys, DecodesEachKeyOfTheTable) {
  const Mods shift = mods(true, false, false), ctrl = mods(false, true, false), alt = mods(false, false, true);
  const Case cases[] = {
      {"letter", "a", {ch('a')}},
      {"capital", "A", {ch('A')}},
      {"two letters", "ab", {ch('a'), ch('b')}},
      {"accented letter in UTF-8", "\xc3\xa9\xc3\x87", {ch(0xE9), ch(0xC7)}},
      {"euro sign", "\xe2\x82\xac", {ch(0x80)}},
      {"character the code page lacks", "\xe4\xb8\xad" "a", {ch('a')}},
      {"Enter", "\r", {key(kKeyEnter)}},
      {"Tab", "\t", {key(kKeyTab)}},
      {"Shift+Tab", "\x1b[Z", {key(kKeyTab, shift)}},
      {"Backspace as DEL", "\x7f", {key(kKeyBackspace)}},
      {"Ctrl+A", "\x01", {key('A', ctrl)}},
      {"Ctrl+H", "\x08", {key('H', ctrl)}},
      {"Ctrl+Space", std::string(1, '\0'), {key(kKeySpace, ctrl)}},
      {"Ctrl+backslash", "\x1c", {key('\\', ctrl)}},
      {"Up from the description", "\x1bOA", {key(kKeyUp)}},
      {"Up as CSI", "\x1b[A", {key(kKeyUp)}},
      {"Ctrl+Up", "\x1b[1;5A", {key(kKeyUp, ctrl)}},
      {"Alt+Left", "\x1b[1;3D", {key(kKeyLeft, alt)}},
      {"Ctrl+Shift+Right", "\x1b[1;6C", {key(kKeyRight, mods(true, true, false))}},
      {"Home and End", "\x1b[H\x1b[F\x1b[1~\x1b[4~", {key(kKeyHome), key(kKeyEnd), key(kKeyHome), key(kKeyEnd)}},
      {"Insert, Delete, PgUp, PgDn", "\x1b[2~\x1b[3~\x1b[5~\x1b[6~",
       {key(kKeyInsert), key(kKeyDelete), key(kKeyPageUp), key(kKeyPageDown)}},
      {"Ctrl+Delete", "\x1b[3;5~", {key(kKeyDelete, ctrl)}},
      {"F1 from the description", "\x1bOP", {key(kKeyF1)}},
      {"Shift+F1 from the description", "\x1b[1;2P", {key(kKeyF1, shift)}},
      {"Ctrl+F2", "\x1b[1;5Q", {key(kKeyF1 + 1, ctrl)}},
      {"F5 to F12", "\x1b[15~\x1b[17~\x1b[21~\x1b[23~\x1b[24~",
       {key(kKeyF1 + 4), key(kKeyF1 + 5), key(kKeyF1 + 9), key(kKeyF1 + 10), key(kKeyF1 + 11)}},
      {"Shift+F5", "\x1b[15;2~", {key(kKeyF1 + 4, shift)}},
      {"Ctrl+Shift+F12", "\x1b[24;6~", {key(kKeyF12, mods(true, true, false))}},
      {"Alt+F4", "\x1b[1;3S", {key(kKeyF1 + 3, alt)}},
      {"Linux console F1", "\x1b[[A", {key(kKeyF1)}},
      {"Linux console F5", "\x1b[[E", {key(kKeyF1 + 4)}},
      {"SS3 F3 with Shift", "\x1bO2R", {key(kKeyF1 + 2, shift)}},
      {"keypad digit and Enter", "\x1bOq\x1bOM", {ch('1'), key(kKeyEnter)}},
      {"Alt+letter", "\x1bx", {ch('x', alt)}},
      {"Alt+accented letter", "\x1b\xc3\xa3", {ch(0xE3, alt)}},
      {"Ctrl+Alt+A", "\x1b\x01", {key('A', mods(false, true, true))}},
      {"Alt+Backspace", "\x1b\x7f", {key(kKeyBackspace, alt)}},
      {"Alt+Up as Esc before the sequence", "\x1b\x1b[A", {key(kKeyUp, alt)}},
      {"CSI u: Ctrl+Shift+letter", "\x1b[97;6u", {key('A', mods(true, true, false))}},
      {"unknown sequence passed over", "\x1b[99x" "a", {ch('a')}},
      {"terminal reply passed over", "\x1b[?1;2c" "b", {ch('b')}},
      {"SGR click", "\x1b[<0;10;5M", {click(kMouseLeft, 9, 4)}},
      {"SGR right click and its release", "\x1b[<2;1;1M\x1b[<2;1;1m", {click(kMouseRight, 0, 0)}},
      {"SGR middle click with Ctrl", "\x1b[<17;3;2M", [] {
         TermInput c = click(kMouseMiddle, 2, 1);
         c.mods.ctrl = true;
         return std::vector<TermInput>{c};
       }()},
      {"SGR wheel", "\x1b[<64;1;1M\x1b[<65;1;1M", {wheel(1), wheel(-1)}},
      {"SGR motion passed over", "\x1b[<32;5;5M", {}},
      {"X10 click", "\x1b[M !!", {click(kMouseLeft, 0, 0)}},
      {"X10 release passed over", "\x1b[M#!!", {}},
  };
  for (const Case& c : cases) {
    TermKeyDecoder d(described(), true, latin1());
    EXPECT_EQ(decode(d, c.bytes, false), c.want) << c.name;
    EXPECT_FALSE(d.waiting()) << c.name;
  }
}

// A lone Esc, or the start of a sequence or character, waits for the rest
// until the time is up.
TEST(TtyKeys, WaitsForTheRestUntilFlushed) {
  const Mods alt = mods(false, false, true);
  const Case cases[] = {
      {"Esc", "\x1b", {key(kKeyEscape)}},
      {"Alt+[", "\x1b[", {ch('[', alt)}},
      {"Alt+O", "\x1bO", {ch('O', alt)}},
      {"Esc, then Alt+[", "\x1b\x1b[", {key(kKeyEscape), ch('[', alt)}},
      {"half a character", "\xc3", {}},
      {"half an Alt character", "\x1b\xc3", {}},
  };
  for (const Case& c : cases) {
    TermKeyDecoder d(described(), true, latin1());
    EXPECT_TRUE(decode(d, c.bytes, false).empty()) << c.name;
    EXPECT_TRUE(d.waiting()) << c.name;
    EXPECT_EQ(decode(d, "", true), c.want) << c.name;
    EXPECT_FALSE(d.waiting()) << c.name;
  }
}

TEST(TtyKeys, ASequenceSplitAcrossReadsIsOneKey) {
  TermKeyDecoder d(described(), true, latin1());
  EXPECT_TRUE(decode(d, "\x1b[1;", false).empty());
  EXPECT_TRUE(decode(d, "5", false).empty());
  EXPECT_EQ(decode(d, "A\xc3", false), std::vector<TermInput>{key(kKeyUp, mods(false, true, false))});
  EXPECT_EQ(decode(d, "\xa7", false), std::vector<TermInput>{ch(0xE7)});
}

TEST(TtyKeys, OneByteCharsetsGoThroughTheirTable) {
  ByteCharset koi = latin1();
  koi[0xE9] = -1;  // a byte the code page has no character for
  koi[0xA4] = 0x80;
  TermKeyDecoder d({}, false, koi);
  EXPECT_EQ(decode(d, "\xe7\xe9\xa4z", false), (std::vector<TermInput>{ch(0xE7), ch(0x80), ch('z')}));
}

}  // namespace
}  // namespace platform
