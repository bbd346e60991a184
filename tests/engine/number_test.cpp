// The number rule, and the zero-padded comparison of conditions.
#include <gtest/gtest.h>

#include "engine/compare.h"
#include "engine/number.h"

namespace {

struct NumberCase {
  const char* text;
  bool valid;
  int32_t value;
};

TEST(NumberRule, ReadsDecimalAndHexAndRejectsTheRest) {
  const NumberCase cases[] = {
      {"12", true, 12},
      {"  12", true, 12},
      {"12 ", false, 0},
      {"", false, 0},
      {" ", false, 0},
      {"-7", true, -7},
      {"+7", true, 7},
      {"007", true, 7},
      {"-", false, 0},
      {"1a", false, 0},
      {"2147483647", true, 2147483647},
      {"2147483648", false, 0},
      {"-2147483648", true, INT32_MIN},
      {"-2147483649", false, 0},
      {"000000000000000000000042", true, 42},
      {"0x1A", true, 26},
      {"0X1a", true, 26},
      {"$ff", true, 255},
      {"x10", true, 16},
      {"X10", true, 16},
      {"$FFFFFFFF", true, -1},
      {"$80000000", true, INT32_MIN},
      {"$123456789", false, 0},
      {"-0x1A", false, 0},
      {"+$1", false, 0},
      {"$", false, 0},
      {"0x", false, 0},
      {"0", true, 0},
      {"1 2", false, 0},
      {"\t1", false, 0},
  };
  for (const NumberCase& c : cases) {
    int32_t v = -99;
    EXPECT_EQ(engine::numberValue(c.text, v), c.valid) << '"' << c.text << '"';
    if (c.valid) {
      EXPECT_EQ(v, c.value) << '"' << c.text << '"';
    }
  }
}

struct CompareCase {
  const char* a;
  const char* b;
  int order;  // sign of the comparison
};

TEST(PaddedComparison, NumbersAsNumbersAndTheRestAsUpperCasedText) {
  const CompareCase cases[] = {
      {"9", "10", -1},
      {"007", "7", 0},
      {"9a", "10a", 1},
      {"abc", "ABC", 0},
      {"-5", "-3", 1},  // text order
      {"", "0", -1},    // twenty zeros against twenty-one
      {"", "", 0},
      {"b", "ab", 1},
      {"ab", "abc", -1},
      {"\xE9", "\xC9", 0},  // é and É
      {"123456789012345678901", "123456789012345678902", -1},
      // Only the last 21 digits of a longer number count.
      {"9123456789012345678901", "123456789012345678901", 0},
      {"99", "a", -1},
      {"00", "0", 0},
      {"0", "", 1},
      {"1000000000000000000000", "0", 0},  // 22 digits: the last 21 are zeros
      {"0000000000000000000000001", "1", 0},
      {"12", "012a", -1},  // twenty-one digits "00...12" against the text "012A"
  };
  for (const CompareCase& c : cases) {
    const int got = engine::comparePadded(c.a, c.b);
    EXPECT_EQ((got > 0) - (got < 0), c.order) << c.a << " vs " << c.b;
    EXPECT_EQ(engine::comparePadded(c.b, c.a) == 0, c.order == 0);
  }
}

TEST(PaddedComparison, TheFormItself) {
  EXPECT_EQ(engine::paddedForm(""), std::string(20, '0'));
  EXPECT_EQ(engine::paddedForm("7"), std::string(20, '0') + "7");
  EXPECT_EQ(engine::paddedForm("12345"), std::string(16, '0') + "12345");
  EXPECT_EQ(engine::paddedForm("abc"), "ABC");
  EXPECT_EQ(engine::paddedForm("1234567890123456789012"), "234567890123456789012");
}

}  // namespace
