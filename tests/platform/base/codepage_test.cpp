#include "platform/base/codepage.h"

#include <gtest/gtest.h>

namespace {

TEST(Codepage, EveryByteRoundTripsThroughUtf8) {
  for (int b = 0; b < 256; ++b) {
    const std::string one(1, static_cast<char>(b));
    EXPECT_EQ(platform::utf8ToCp1252(platform::cp1252ToUtf8(one)), one) << "byte " << b;
  }
}

TEST(Codepage, ConvertsTheCharactersOfPortugueseText) {
  struct Case {
    const char* cp1252;
    const char* utf8;
  } cases[] = {
      {"a\xE7\xE3o", "ação"},
      {"\x80 5", "€ 5"},
      {"\x93" "aspas" "\x94", "“aspas”"},
      {"\xC9" "poca", "Época"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(platform::cp1252ToUtf8(c.cp1252), c.utf8);
    EXPECT_EQ(platform::utf8ToCp1252(c.utf8), c.cp1252);
  }
}

TEST(Codepage, MalformedOrForeignUtf8BecomesTheReplacement) {
  struct Case {
    std::string utf8;
    std::string expected;
  } cases[] = {
      {"\xE2\x82", "??"},             // cut short
      {"\xC0\xAF", "??"},             // overlong slash
      {"\xED\xA0\x80", "???"},        // surrogate
      {"日本", "??"},                  // not in the code page
      {"ok\xFF", "ok?"},
  };
  for (const Case& c : cases) EXPECT_EQ(platform::utf8ToCp1252(c.utf8), c.expected) << c.utf8;
}

TEST(Codepage, TellsUtf8FromWindows1252) {
  EXPECT_TRUE(platform::isMultibyteUtf8("ação"));
  EXPECT_FALSE(platform::isMultibyteUtf8("a\xE7\xE3o"));
  EXPECT_FALSE(platform::isMultibyteUtf8("plain"));
}

}  // namespace
