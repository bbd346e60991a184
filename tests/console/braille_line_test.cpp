#include "console/braille_line.h"

#include <gtest/gtest.h>

#include <string>

#include "console/keyboard.h"
#include "console/screen.h"
#include "headless_env.h"

namespace {

using namespace console;
using Kind = platform::BrailleKey::Kind;

platform::BrailleKey key(Kind kind, int k = 0, uint8_t dots = 0, bool space = false, int cell = 0) {
  platform::BrailleKey b;
  b.kind = kind;
  b.key = k;
  b.dots = dots;
  b.space = space;
  b.cell = cell;
  return b;
}

std::string typed() {
  std::string s;
  while (keyPressed()) s += std::to_string(readKey()) + " ";
  return s;
}

class BrailleLine : public ::testing::Test {
 protected:
  void SetUp() override { testenv::resetConsole(); }
};

TEST_F(BrailleLine, DisplayKeysJoinTheKeyQueue) {
  struct Case {
    platform::BrailleKey key;
    const char* codes;
  };
  const Case cases[] = {
      {key(Kind::Key, platform::kKeyUp), "0 72 "},
      {key(Kind::Key, platform::kKeyDown), "0 80 "},
      {key(Kind::Key, platform::kKeyHome), "0 71 "},
      {key(Kind::Key, platform::kKeyEnd), "0 79 "},
      {key(Kind::Key, platform::kKeyEnter), "13 "},
      {key(Kind::Key, platform::kKeyBackspace), "8 "},
      {key(Kind::Key, platform::kKeyEscape), "27 "},
      {key(Kind::Dots, 0, 0x40), "8 "},          // dot 7: Backspace
      {key(Kind::Dots, 0, 0x80), "13 "},         // dot 8: Enter
      {key(Kind::Dots, 0, 0xC0), "27 "},         // both: Esc
      {key(Kind::Dots, 0, 0x0B), "102 "},        // dots 1-2-4: f
      {key(Kind::Dots, 0, 0x4B), "102 "},        // dot 7 with other dots counts for nothing
      {key(Kind::Dots, 0, 0x04), "46 "},         // dot 3: a full stop
      {key(Kind::Dots, 0, 0x31), "64 "},         // dots 1-5-6: @
      {key(Kind::Dots, 0, 0x2F), "231 "},        // dots 1-2-3-4-6: ç
      {key(Kind::Dots, 0, 0, true), "32 "},      // the space bar alone
      {key(Kind::Dots, 0, 0x0D, true), "13 "},   // space with dots 1-3-4 (m): its control code
      {key(Kind::Dots, 0, 0x01, true), "1 "},
      {key(Kind::Other), "63 "},                 // a key the console does not know: ?
      {key(Kind::Route, 0, 0, false, 3), "63 "}, // routing outside the screen review
  };
  for (const Case& c : cases) {
    onBrailleKey(c.key);
    EXPECT_EQ(typed(), c.codes) << c.codes;
  }
}

TEST_F(BrailleLine, RoutingKeysPointAtTheCellsColumnDuringTheReview) {
  setBrailleRouting(true);
  onBrailleKey(key(Kind::Route, 0, 0, false, 5));
  EXPECT_EQ(typed(), "0 " + std::to_string(kRouteScan) + " ");
  int column = 0, row = 0;
  ASSERT_TRUE(brailleRouted(column, row));
  EXPECT_EQ(row, brailleRow());
  EXPECT_FALSE(brailleRouted(column, row));  // taken once
  setBrailleRouting(false);
}

}  // namespace
