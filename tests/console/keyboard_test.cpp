#include "console/keyboard.h"

#include <gtest/gtest.h>

#include <vector>

#include "console/screen.h"
#include "headless_env.h"

namespace {

using namespace console;
using platform::Mods;

constexpr Mods kPlain{}, kShift{true, false, false}, kCtrl{false, true, false}, kAlt{false, false, true},
    kCtrlAlt{false, true, true};

std::vector<int> drain() {
  std::vector<int> codes;
  while (keyPressed()) codes.push_back(readKey());
  return codes;
}

class Keyboard : public ::testing::Test {
 protected:
  void SetUp() override { testenv::resetConsole(); }
};

TEST_F(Keyboard, SpecialKeysGiveZeroAndTheirScanCode) {
  struct Case {
    const char* name;
    int key;
    Mods mods;
    std::vector<int> codes;
  } cases[] = {
      {"F1", platform::kKeyF1, kPlain, {0, 59}},
      {"F3", platform::kKeyF1 + 2, kPlain, {0, 61}},
      {"Shift+F3 is F3", platform::kKeyF1 + 2, kShift, {0, 61}},
      {"Ctrl+F3", platform::kKeyF1 + 2, kCtrl, {0, 96}},
      {"F12", platform::kKeyF12, kPlain, {0, 70}},
      {"Ctrl+F12", platform::kKeyF12, kCtrl, {0, 105}},
      {"Insert", platform::kKeyInsert, kPlain, {0, 82}},
      {"Shift+Insert", platform::kKeyInsert, kShift, {0, 254}},
      {"Ctrl+Insert", platform::kKeyInsert, kCtrl, {0, 255}},
      {"Delete", platform::kKeyDelete, kPlain, {0, 83}},
      {"Ctrl+Delete", platform::kKeyDelete, kCtrl, {0, 83}},
      {"Home", platform::kKeyHome, kPlain, {0, 71}},
      {"Ctrl+Home", platform::kKeyHome, kCtrl, {0, 119}},
      {"End", platform::kKeyEnd, kPlain, {0, 79}},
      {"Ctrl+End", platform::kKeyEnd, kCtrl, {0, 117}},
      {"PageUp", platform::kKeyPageUp, kPlain, {0, 73}},
      {"Ctrl+PageUp", platform::kKeyPageUp, kCtrl, {0, 132}},
      {"PageDown", platform::kKeyPageDown, kPlain, {0, 81}},
      {"Ctrl+PageDown", platform::kKeyPageDown, kCtrl, {0, 118}},
      {"Up", platform::kKeyUp, kPlain, {0, 72}},
      {"Ctrl+Up", platform::kKeyUp, kCtrl, {0, 113}},
      {"Down", platform::kKeyDown, kPlain, {0, 80}},
      {"Ctrl+Down", platform::kKeyDown, kCtrl, {0, 114}},
      {"Left", platform::kKeyLeft, kPlain, {0, 75}},
      {"Ctrl+Left", platform::kKeyLeft, kCtrl, {0, 115}},
      {"Right", platform::kKeyRight, kPlain, {0, 77}},
      {"Ctrl+Right", platform::kKeyRight, kCtrl, {0, 116}},
      {"Ctrl+Alt+A", 'A', kCtrlAlt, {0, 30}},
      {"Ctrl+Alt+M", 'M', kCtrlAlt, {0, 50}},
      {"Ctrl+Alt+Z", 'Z', kCtrlAlt, {0, 44}},
      {"Ctrl+Alt+1", '1', kCtrlAlt, {0, 120}},
      {"Ctrl+Alt+9", '9', kCtrlAlt, {0, 128}},
      {"Ctrl+Alt+0", '0', kCtrlAlt, {0, 129}},
      {"a letter key gives nothing by itself", 'A', kPlain, {}},
      {"Alt+Left passes as Left", platform::kKeyLeft, kAlt, {0, 75}},
  };
  for (const Case& c : cases) {
    onKeyDown(c.key, c.mods, platform::isSystemKey(c.key, c.mods));
    EXPECT_EQ(drain(), c.codes) << c.name;
  }
}

TEST_F(Keyboard, OtherSystemKeysGoToTheWindowSystemWhileTheBreakCheckIsOn) {
  onKeyDown('X', kAlt, true);
  onKeyDown(platform::kKeyF1 + 9, kPlain, true);  // F10
  EXPECT_EQ(drain(), std::vector<int>{});
  setBreakCheck(false);
  onKeyDown('X', kAlt, true);
  setBreakCheck(true);
  EXPECT_EQ(drain(), (std::vector<int>{0, 45}));
}

TEST_F(Keyboard, CharactersAndTheirQueueLimits) {
  onChar('a');
  onChar(10);
  onChar(127);
  EXPECT_EQ(drain(), (std::vector<int>{'a', 10, 127}));
  for (int i = 0; i < 63; ++i) onChar('x');
  onKeyDown(platform::kKeyUp, kPlain, false);  // needs two places: dropped whole
  onChar('y');                                  // one place: taken
  onChar('z');                                  // full
  const std::vector<int> codes = drain();
  ASSERT_EQ(codes.size(), 64u);
  EXPECT_EQ(codes.back(), 'y');
  for (int i = 0; i < 62; ++i) onChar('x');
  onKeyDown(platform::kKeyUp, kPlain, false);  // exactly fits
  EXPECT_EQ(drain().size(), 64u);
}

TEST_F(Keyboard, MouseAndTheClickThatBringsTheWindowForward) {
  onMouseDown(platform::kMouseLeft);
  onMouseDown(platform::kMouseRight);
  onMouseDown(platform::kMouseMiddle);
  onWheel(1);
  onWheel(-1);
  EXPECT_EQ(drain(), (std::vector<int>{13, 27, 0, 67, 0, 72, 0, 80}));
  onFocus(true, true);
  onMouseDown(platform::kMouseLeft);
  EXPECT_EQ(drain(), std::vector<int>{});
  onMouseDown(platform::kMouseLeft);
  EXPECT_EQ(drain(), std::vector<int>{13});
  onFocus(true, true);
  onFocus(false, false);
  onMouseDown(platform::kMouseLeft);
  EXPECT_EQ(drain(), std::vector<int>{13});
}

// Each code is read with the modifiers held when its key went down, also
// when they were let go before the program took it; a code put back keeps
// them, and mouse codes have those of their click.
TEST_F(Keyboard, CodesKeepTheModifiersOfTheirKey) {
  onKeyDown(platform::kKeyEnd, kShift, false);
  onKeyUp(platform::kKeyEnd, kShift);
  onKeyDown('A', kCtrlAlt, false);
  onKeyUp('A', kPlain);
  onChar('b');
  onMouseDown(platform::kMouseLeft, kAlt);
  EXPECT_EQ(readKey(), 0);
  EXPECT_EQ(readKey(), 79);
  EXPECT_TRUE(keyModifiers().shift);
  EXPECT_EQ(readKey(), 0);
  EXPECT_EQ(readKey(), 30);
  EXPECT_TRUE(keyModifiers().ctrl && keyModifiers().alt && !keyModifiers().shift);
  EXPECT_EQ(readKey(), 'b');
  EXPECT_FALSE(keyModifiers().shift || keyModifiers().ctrl || keyModifiers().alt);
  pushKey('b');
  EXPECT_EQ(readKey(), 13);
  EXPECT_TRUE(keyModifiers().alt);
  EXPECT_EQ(readKey(), 'b');
  EXPECT_FALSE(keyModifiers().alt);
  EXPECT_EQ(keyCodeText('b', -1, true), "000#98");
}

TEST_F(Keyboard, KeyCodeTexts) {
  EXPECT_EQ(keyCodeText('a', -1, false), "a");
  EXPECT_EQ(keyCodeText(13, -1, false), "#13");
  EXPECT_EQ(keyCodeText(27, -1, false), "#27");
  EXPECT_EQ(keyCodeText(0, 61, false), "#0#61");
  EXPECT_EQ(keyCodeText('a', -1, true), "000#97");
  EXPECT_EQ(keyCodeText(0, 72, true), "000#0#72");
}

TEST_F(Keyboard, ReadsAreRecordedInTheTranscript) {
  onKeyDown(platform::kKeyF1 + 2, kPlain, false);
  onChar('q');
  onChar(13);
  drain();
  EXPECT_EQ(testenv::newTranscript(), "KEY\t#0#61\nKEY\tq\nKEY\t#13\n");
}

TEST_F(Keyboard, ReadLineBasicEditsAndEchoesPlainly) {
  for (int c : {int{'a'}, int{'b'}, int{'c'}, 8, 0, 72, int{'d'}, 13}) pushKey(static_cast<uint8_t>(c));
  EXPECT_EQ(readLineBasic(), "abHd\r\n");  // the 0 of Up is dropped, its 72 is "H"
  EXPECT_EQ(whereY(), 2);
  EXPECT_EQ(cellChar(1, 1), 'a');
  EXPECT_EQ(cellChar(3, 1), 'H');
  EXPECT_EQ(cellChar(5, 1), ' ');
}

// Keys fed one at a time, each when the previous one's echo is drawn, as a
// typist would: more keys than the queue could hold at once.
std::string g_feed;
size_t g_fed = 0;
void feedNext(int) {
  while (queuedCount() < 2 && g_fed < g_feed.size()) pushKey(static_cast<uint8_t>(g_feed[g_fed++]));
}

TEST_F(Keyboard, ReadLineBasicKeepsAtMost126Characters) {
  g_feed = std::string(127, 'k') + "\b\r";
  g_fed = 0;
  feedNext(0);
  setRowDrawnHook(feedNext);
  const std::string line = readLineBasic();
  setRowDrawnHook(nullptr);
  EXPECT_EQ(line, std::string(125, 'k') + "\r\n");  // 126 kept, the 127th ignored, one erased
  EXPECT_EQ(g_fed, g_feed.size());
  EXPECT_EQ(cellChar(45, 2), 'k');  // 126 echoed, 80 on the first row, and one erased
  EXPECT_EQ(cellChar(46, 2), ' ');
}

}  // namespace
