// Accented letters become their accent and base letter; others stay whole.
#include <gtest/gtest.h>

#include "automation/accents.h"

namespace {

TEST(Accents, EachAccentAndCase) {
  struct Case {
    uint8_t c, accent, base;
  };
  const Case cases[] = {
      {0xE1, 0xB4, 'a'}, {0xC9, 0xB4, 'E'}, {0xFD, 0xB4, 'y'}, {0xE0, '`', 'a'}, {0xD9, '`', 'U'},
      {0xEA, '^', 'e'},  {0xE3, '~', 'a'},  {0xD1, '~', 'N'},  {0xF5, '~', 'o'}, {0xFC, 0xA8, 'u'},
      {0x9F, 0xA8, 'Y'}, {0xFF, 0xA8, 'y'},
  };
  for (const Case& k : cases) {
    uint8_t accent = 0, base = 0;
    ASSERT_TRUE(automation::decomposeAccent(k.c, accent, base)) << int{k.c};
    EXPECT_EQ(accent, k.accent) << int{k.c};
    EXPECT_EQ(base, k.base) << int{k.c};
  }
}

TEST(Accents, OthersAreTypedWhole) {
  for (const uint8_t c : {uint8_t{0xC7}, uint8_t{0xE7}, uint8_t{0xAA}, uint8_t{0x80}, uint8_t{'a'}, uint8_t{0xC6}}) {
    uint8_t accent, base;
    EXPECT_FALSE(automation::decomposeAccent(c, accent, base)) << int{c};
  }
}

}  // namespace
