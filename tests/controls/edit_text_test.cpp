// The line editor's reading of its text: word movements, the pieces F1
// reads, the word F12 opens.
#include <gtest/gtest.h>

#include "controls/edit_text.h"

namespace {

using controls::nextReading;
using controls::nextWordStart;
using controls::previousWordStart;
using controls::wordToOpen;

TEST(EditText, WordMovesStopAtWordStartsAndEndAtTheText) {
  // Letters, digits and other characters make separate words.
  const std::string text = "ab12 c.d   x      ";
  struct Case {
    int from;
    bool right;
    int to;
    bool inside;
  } cases[] = {
      {1, true, 3, true},     // ab -> 12
      {3, true, 6, true},     // 12 and its blank -> c
      {6, true, 7, true},     // c -> .
      {7, true, 8, true},     // . -> d
      {8, true, 12, true},    // d and blanks -> x
      {12, true, 13, false},  // past the last word: just after it, refused
      {15, true, 13, false},
      {13, false, 12, true},
      {12, false, 8, true},
      {5, false, 3, true},  // from the blank after 12
      {2, false, 1, true},
      {1, false, 1, false},
  };
  for (const Case& c : cases) {
    const controls::WordMove m = c.right ? nextWordStart(text, c.from) : previousWordStart(text, c.from);
    EXPECT_EQ(m.position, c.to) << c.from << (c.right ? " right" : " left");
    EXPECT_EQ(m.inside, c.inside) << c.from << (c.right ? " right" : " left");
  }
  EXPECT_EQ(nextWordStart("     ", 1).position, 1);
  EXPECT_FALSE(previousWordStart("     ", 4).inside);
  // Accented letters (codes 128 and above) belong to words.
  EXPECT_EQ(nextWordStart("a\xE7\xE3o x", 1).position, 6);
}

TEST(EditText, F1ReadsNumbersWordsAndSpellsConsonantRuns) {
  const std::string text = "  12 casas xyz cpf -5 ? ";
  struct Case {
    int from;
    int start, end;
    bool spell;
  } cases[] = {
      {1, 3, 5, false},    // 12 as a number
      {5, 6, 11, false},   // casas as a word
      {11, 12, 15, false},  // Y is outside the consonants: a word
      {15, 16, 19, true},   // cpf is spelled
      {19, 20, 22, false},  // -5 as a number
      {22, 23, 24, true},   // a symbol is spelled
  };
  for (const Case& c : cases) {
    const controls::Reading r = nextReading(text, c.from);
    ASSERT_TRUE(r.found) << c.from;
    EXPECT_EQ(r.from, c.start) << c.from;
    EXPECT_EQ(r.to, c.end) << c.from;
    EXPECT_EQ(r.spell, c.spell) << c.from;
  }
  EXPECT_FALSE(nextReading(text, 24).found);
  EXPECT_FALSE(nextReading("abc", 4).found);
}

TEST(EditText, TheWordToOpenLosesTheMarksAroundIt) {
  struct Case {
    const char* text;
    int p;
    const char* word;
  } cases[] = {
      {"veja (www.exemplo.com.br) agora", 10, "www.exemplo.com.br)"},
      {"abra notas.txt.", 8, "notas.txt"},
      {"abra notas.txt   ", 15, "notas.txt"},  // just after the word
      {"x \"<[{_-.=>*\" y", 5, ""},
      {"a   b", 3, ""},
      {"programa.exe", 1, "programa.exe"},
  };
  for (const Case& c : cases) EXPECT_EQ(wordToOpen(c.text, c.p), c.word) << c.text << " at " << c.p;
}

}  // namespace
