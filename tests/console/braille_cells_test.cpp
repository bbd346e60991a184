#include "console/braille_cells.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using console::cellDots;
using console::rowDots;
using console::transcribeRow;

struct Case {
  const char* row;  // Windows-1252
  const char* text;
};

TEST(BrailleTranscription, RowsBecomePortugueseBraille) {
  const Case cases[] = {
      {"Total: 1.250", "{total: #a.bej"},       // three digits after the point: the point alone
      {"1.25", "#a.#be"},                        // fewer on each side: the number sign again
      {"1,5 R$3", "#a,e {r$#c"},
      {"ABC def", "{{abc def"},
      {"Abc", "{abc"},
      {"ABCdef", "{{abc~def"},                   // a run of capitals that goes on in lower case
      {"\xC1GUA \xC7", "{{\xE1gua {\xE7"},       // ÁGUA Ç
      {"3\xBA", "#:o"},                          // 3º: lowered digits for an ordinal
      {"1\xAA", "#,a"},
      {"1a. 22os. fila", "#,a #;;os fila"},
      {"3a 3x", "#c~a #cx"},                    // a letter a..j after a number
      {"(12)", "\xEA#ab\xE3"},                   // a group of numbers
      {"[3]", "\xE1#c\xFA"},
      {"(1 a)", "(.#a a\\)"},                    // closed after a letter: plain parentheses
      {"`3/4", "#:4"},                           // a fraction
      {"`(x`*`q", "\xEAx\xD7"},                  // escaped symbols; one not known is dropped
      {"x`", "x`"},                              // a grave accent at the end is a symbol
      {"50% a/b", "#ej_} a\\,b"},
      {"\x93ok\x94 \"x\"", "\"ok\" \"x\""},
      {"\x80 \xDF \xA7 \xB2 \x85", "\x80" "e \xAC" "b ss \xE5#b ..."},
  };
  for (const Case& c : cases) EXPECT_EQ(transcribeRow(c.row).text, c.text) << c.row;
}

TEST(BrailleTranscription, EachCellKnowsItsColumn) {
  const console::BrailleRow r = transcribeRow("AB 3\xBA x");
  EXPECT_EQ(r.text, "{{ab #:o x");
  const std::vector<uint8_t> columns = {0, 0, 0, 1, 2, 3, 3, 4, 5, 6};
  EXPECT_EQ(r.source, columns);
}

TEST(BrailleCells, CharactersBecomeSixDotCells) {
  struct Dots {
    unsigned char c;
    uint8_t dots;
  };
  const Dots cases[] = {
      {' ', 0},       {'a', 0x01},     {'{', 0x28},     {'#', 0x3C},     {'.', 0x04},     {':', 0x12},
      {'}', 0x34},    {0xE7, 0x2F},     {0xE9, 0x3F},     {0xE3, 0x1C},     {0xBA, 0x15},  {'Z', 0x35},
      {'w', 0x3A},    {'"', 0x26},     {'0', 0x1A},     {15, 0x04},      {5, 0},          {0x81, 0},
  };
  for (const Dots& d : cases) EXPECT_EQ(cellDots(d.c), d.dots) << int{d.c};
}

TEST(BrailleCells, TheRowFillsTheDisplayAndNoMore) {
  const std::vector<uint8_t> total = {0x28, 0x1E, 0x15, 0x1E, 0x01, 0x07, 0x12, 0, 0x3C, 0x01,
                                      0x04, 0x03, 0x11, 0x1A, 0,    0};
  EXPECT_EQ(rowDots(transcribeRow("Total: 1.250").text, 16), total);
  EXPECT_EQ(rowDots("abc", 2), (std::vector<uint8_t>{0x01, 0x03}));
}

}  // namespace
