#include "console/braille_keyboard.h"

#include <gtest/gtest.h>

#include <string>

#include "console/keyboard.h"
#include "headless_env.h"

namespace {

using namespace console;
constexpr platform::Mods kPlain{}, kCtrlAlt{false, true, true};

// Presses a chord's keys together, then releases them in turn.
void chord(const std::string& keys) {
  for (char k : keys) onKeyDown(k == ' ' ? int{platform::kKeySpace} : int{k}, kPlain, false);
  for (char k : keys) onKeyUp(k == ' ' ? int{platform::kKeySpace} : int{k}, kPlain);
}

std::string typed() {
  std::string s;
  while (keyPressed()) s += static_cast<char>(readKey());
  return s;
}

class Braille : public ::testing::Test {
 protected:
  void SetUp() override { testenv::resetConsole(); }
  void TearDown() override { setBrailleMode(0); }
};

TEST_F(Braille, TheModeCyclesWithCtrlAltF11AndStopsWithF12) {
  const int f11 = platform::kKeyF1 + 10;
  onKeyDown(f11, kCtrlAlt, false);
  EXPECT_EQ(brailleMode(), 1);
  onKeyDown(f11, kCtrlAlt, false);
  EXPECT_EQ(brailleMode(), 2);
  onKeyDown(f11, kCtrlAlt, false);
  EXPECT_EQ(brailleMode(), 1);
  onKeyDown(platform::kKeyF12, kCtrlAlt, false);
  EXPECT_EQ(brailleMode(), 0);
  EXPECT_EQ(typed(), "");
}

TEST_F(Braille, ChordsTypeTheirCellsInEitherMode) {
  struct Case {
    int mode;
    std::vector<std::string> chords;
    std::string expected;
  } cases[] = {
      {1, {"FJ"}, "c"},
      {1, {"FDSJKL"}, "\xE9"},                // all six dots: é
      {1, {"S"}, "'"},                        // literal mode keeps the apostrophe
      {1, {"Q"}, " "},                        // a letter that is no braille key makes a blank
      {1, {" "}, " "},
      {1, {" F", " FSJ"}, "\x01\r"},          // space with dots: control codes
      {2, {"SJKL", "F", "FD"}, "12"},          // number sign, then digits
      {2, {"SJKL", "F", "K", "F"}, "1~a"},     // dot 5 ends number mode
      {2, {"JL", "F"}, "A"},                  // capital sign
      {2, {"JL", "JL", "F", "FD", " ", "F"}, "AB A"},  // capitals lock lasts
      {2, {"S", "FKL"}, ".@"},                // text mode's period and at sign
  };
  for (const Case& c : cases) {
    setBrailleMode(c.mode);
    for (const std::string& k : c.chords) chord(k);
    EXPECT_EQ(typed(), c.expected) << "mode " << c.mode << " first chord " << c.chords[0];
    setBrailleMode(0);
  }
}

TEST_F(Braille, KeysAreHeldUntilTheLastOneIsReleased) {
  setBrailleMode(1);
  onKeyDown('F', kPlain, false);
  onKeyDown('J', kPlain, false);
  onKeyUp('J', kPlain);
  EXPECT_EQ(typed(), "");
  onKeyUp('F', kPlain);
  EXPECT_EQ(typed(), "c");
}

TEST_F(Braille, TypedLettersAndSpacesAreDroppedButOtherKeysStillWork) {
  setBrailleMode(1);
  onChar('a');
  onChar(' ');
  onChar('1');
  onKeyDown(platform::kKeyUp, kPlain, false);
  onKeyDown('F', platform::Mods{false, true, false}, false);  // with Ctrl: no braille key
  EXPECT_EQ(typed(), std::string("1\0H", 3));
}

TEST_F(Braille, OtherKeysClearTheTextFlags) {
  setBrailleMode(2);
  chord("JL");
  onKeyUp(platform::kKeyUp, kPlain);
  chord("F");
  EXPECT_EQ(typed(), "a");
}

}  // namespace
