#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "console/clipboard.h"
#include "console/palette.h"
#include "console/picture.h"
#include "console/screen.h"
#include "headless_env.h"

// A colour map that swaps logical colours 1 and 2, to see it applied.
const char* const testenv::kTestIni = "[VIDEO]\nTABCORES=0,2,1\nCORFUNDO=0\nCORLETRA=7\n";

namespace {

using namespace console;

class Screen : public ::testing::Test {
 protected:
  void SetUp() override { testenv::resetConsole(); }
  static std::string row(int r) {
    std::string s;
    for (int c = 1; c <= kColumns; ++c) s += static_cast<char>(cellChar(c, r));
    return s.substr(0, s.find_last_not_of(' ') + 1);
  }
};

TEST_F(Screen, TheSettingsOfTheConfigurationShapeTheConsole) {
  EXPECT_EQ(textAttribute(), 0x07);
  EXPECT_EQ(colourOf(1), paletteColour(2));  // TABCORES=0,2,1
  EXPECT_EQ(colourOf(2), paletteColour(1));
  EXPECT_EQ(colourOf(3), paletteColour(3));
}

TEST_F(Screen, WritingExactlyAFullRowWrapsOnlyWithTheNextCharacter) {
  writeText(std::string(80, 'x'));
  EXPECT_EQ(whereX(), 81);
  EXPECT_EQ(whereY(), 1);
  writeText("\r\n");
  EXPECT_EQ(whereY(), 2);
  EXPECT_EQ(whereX(), 1);
  gotoXY(1, 1);
  writeText(std::string(80, 'a') + "b");
  EXPECT_EQ(whereY(), 2);
  EXPECT_EQ(whereX(), 2);
  EXPECT_EQ(row(2), "b");
}

TEST_F(Screen, ControlCharacters) {
  struct Case {
    const char* name;
    std::string text;
    std::string row1, row2;
    int x, y;
  } cases[] = {
      {"backspace erases", "abc\b", "ab", "", 3, 1},
      {"backspace at column 1 does nothing", "\b\bz", "z", "", 2, 1},
      {"backspace never joins rows", "ab\r\n\b\bc", "ab", "c", 2, 2},
      {"tab is neither shown nor moves", "a\tb", "ab", "", 3, 1},
      {"other controls are ignored", std::string("a\x01\x0b\x0c\x1b" "b", 6), "ab", "", 3, 1},
      {"carriage return overwrites", "abc\rX", "Xbc", "", 2, 1},
      {"line feed keeps nothing of the column", "ab\ncd", "ab", "cd", 3, 2},
      {"high bytes are characters", "\xE7\xE3o", "\xE7\xE3o", "", 4, 1},
  };
  for (const Case& c : cases) {
    clearScreen();
    writeText(c.text);
    EXPECT_EQ(row(1), c.row1) << c.name;
    EXPECT_EQ(row(2), c.row2) << c.name;
    EXPECT_EQ(whereX(), c.x) << c.name;
    EXPECT_EQ(whereY(), c.y) << c.name;
  }
}

TEST_F(Screen, ALineEndOnTheLastRowScrollsInTheCurrentBackground) {
  for (int i = 1; i <= 25; ++i) writeText("linha " + std::to_string(i) + (i < 25 ? "\r\n" : ""));
  setBackColor(4);
  writeText("\r\n");
  EXPECT_EQ(whereY(), 25);
  EXPECT_EQ(row(1), "linha 2");
  EXPECT_EQ(row(24), "linha 25");
  EXPECT_EQ(row(25), "");
  for (int c = 1; c <= kColumns; ++c) ASSERT_EQ(cellAttribute(c, 25), 0x47) << c;
  EXPECT_EQ(cellAttribute(1, 24), 0x07);
}

TEST_F(Screen, CursorAndClearing) {
  gotoXY(0, 99);
  EXPECT_EQ(whereX(), 1);
  EXPECT_EQ(whereY(), 25);
  gotoXY(200, -3);
  EXPECT_EQ(whereX(), 80);
  EXPECT_EQ(whereY(), 1);
  gotoXY(1, 3);
  writeText("abcdef");
  gotoXY(3, 3);
  setBackColor(1);
  clearToLineEnd();
  EXPECT_EQ(row(3), "ab");
  EXPECT_EQ(whereX(), 3);
  EXPECT_EQ(cellAttribute(2, 3), 0x07);
  EXPECT_EQ(cellAttribute(3, 3), 0x17);
  EXPECT_EQ(cellAttribute(80, 3), 0x17);
  clearScreen();
  EXPECT_EQ(whereX(), 1);
  EXPECT_EQ(whereY(), 1);
  EXPECT_EQ(cellAttribute(40, 12), 0x17);
}

TEST_F(Screen, ColourCommandsChangeOneNibble) {
  setTextColor(0x1E);
  EXPECT_EQ(textAttribute(), 0x0E);
  setBackColor(0x13);  // 0x13 * 16 kept to a byte
  EXPECT_EQ(textAttribute(), 0x3E);
}

TEST_F(Screen, InvisibleTextIsHiddenInTheTranscriptAndTheScreenDump) {
  writeText("ver ");
  setTextColor(2);
  setBackColor(1);  // different colours, whatever the map
  writeText("b");
  setTextColor(4);
  setBackColor(4);
  writeText("senha\r\n");
  EXPECT_EQ(testenv::newTranscript(), "SHOW\tver \nSHOW\tb\nSHOW\t*****\\r\\n\n");
  const std::string dump = screenText();
  EXPECT_EQ(dump.substr(0, dump.find('\n')), "ver b");
  EXPECT_EQ(std::count(dump.begin(), dump.end(), '\n'), 25);
}

TEST_F(Screen, TitleGoesToTheTranscriptInUtf8) {
  setTitle("Programa \xE9 teste");
  EXPECT_EQ(testenv::newTranscript(), "TITLE\tPrograma é teste\n");
}

TEST_F(Screen, ClipboardCarriesWindows1252Text) {
  copyToClipboard("a\xE7\xE3o");
  EXPECT_EQ(pasteFromClipboard(100), "a\xE7\xE3o");
  EXPECT_EQ(pasteFromClipboard(3), "a\xE7");
  EXPECT_EQ(pasteFromClipboard(0), "");
  copyToClipboard(std::string("ab\0cd", 5));
  EXPECT_EQ(pasteFromClipboard(100), "ab");
}

TEST_F(Screen, AFailedPictureLoadKeepsNothingBroken) {
  const std::string file = "/tmp/escuta-screen-test.bmp";
  std::ofstream(file) << "BM not really";
  EXPECT_FALSE(loadPicture(file));
  EXPECT_FALSE(loadPicture("/tmp/escuta-no-such-file.bmp"));
  clearPicture();
  writeText("ok");
  EXPECT_EQ(row(1), "ok");
  std::remove(file.c_str());
}

}  // namespace
