// The screen review's reading of a row: fields, pieces and word movements.
#include <gtest/gtest.h>

#include <string>

#include "controls/review_text.h"

namespace {

std::string row(const std::string& text) {
  std::string r = text;
  r.resize(80, ' ');
  return r;
}

TEST(ReviewText, FieldsAreRunsOfOneAttributeBetweenSeparators) {
  const std::string text = row("Nome: Ana Lima|Idade 30");
  std::string attrs(80, '\x07');
  for (int i = 20; i < 23; ++i) attrs[static_cast<size_t>(i)] = '\x1E';  // "30" and a blank highlighted
  struct Case {
    int column;
    bool found;
    int from, to;
  } cases[] = {
      {2, true, 1, 4},     // Nome, up to the colon
      {5, false, 5, 5},    // on the colon itself
      {8, true, 6, 14},    // " Ana Lima" up to the bar
      {16, true, 16, 20},  // "Idade" up to the colour change
      {22, true, 21, 23},
      {30, true, 24, 80},
      {0, false, 0, 0},
  };
  for (const Case& c : cases) {
    const controls::Span f = controls::fieldAround(text, attrs, c.column);
    EXPECT_EQ(f.found, c.found) << c.column;
    if (!c.found) continue;
    EXPECT_EQ(f.from, c.from) << c.column;
    EXPECT_EQ(f.to, c.to) << c.column;
  }
  // Line-drawing codes separate fields too.
  EXPECT_EQ(controls::fieldAround(row("ab\xB3" "cd"), std::string(80, '\x07'), 5).from, 4);
}

TEST(ReviewText, PiecesAreWordsOrRepeatedSymbols) {
  const std::string text = row("  casa  PRN ------- x.y  n\xE3o 42 Wyz");
  struct Case {
    int from, limit;
    int start, next, say;
    bool spell;
  } cases[] = {
      {1, 80, 3, 7, 4, false},     // casa
      {7, 80, 9, 12, 3, true},     // PRN: consonants only, spelled
      {12, 80, 13, 20, 3, false},  // seven dashes, said three times
      {20, 80, 21, 22, 1, false},  // x alone (the full stop is no word character)
      {22, 80, 22, 24, 2, false},  // a symbol takes the word characters after it: .y
      {25, 80, 26, 29, 3, false},  // não: ã is a word character
      {29, 80, 30, 32, 2, false},  // 42 is not spelled
      {32, 80, 33, 36, 3, true},   // W and Y count as consonants here
      {3, 5, 3, 6, 3, false},      // cut at the limit
  };
  for (const Case& c : cases) {
    const controls::Piece p = controls::nextPiece(text, c.from, c.limit);
    ASSERT_TRUE(p.found) << c.from;
    EXPECT_EQ(p.from, c.start) << c.from;
    EXPECT_EQ(p.next, c.next) << c.from;
    EXPECT_EQ(p.say, c.say) << c.from;
    EXPECT_EQ(p.spell, c.spell) << c.from;
  }
  EXPECT_FALSE(controls::nextPiece(text, 36, 80).found);
}

TEST(ReviewText, BlankWordMovesAndTheRowsEnd) {
  const std::string text = row("um dois.tres  quatro");
  EXPECT_EQ(controls::rowEnd(text), 21);
  EXPECT_EQ(controls::rowEnd(row("")), 1);
  struct Case {
    int from;
    bool right;
    int to;
    bool inside;
  } cases[] = {
      {1, true, 4, true},  {4, true, 15, true}, {15, true, 21, false}, {15, false, 4, true},
      {5, false, 4, true}, {4, false, 1, true}, {1, false, 1, false},
  };
  for (const Case& c : cases) {
    const controls::Move m =
        c.right ? controls::nextBlankWord(text, c.from) : controls::previousBlankWord(text, c.from);
    EXPECT_EQ(m.column, c.to) << c.from << (c.right ? " right" : " left");
    EXPECT_EQ(m.inside, c.inside) << c.from << (c.right ? " right" : " left");
  }
}

}  // namespace
