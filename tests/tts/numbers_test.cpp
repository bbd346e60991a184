#include <gtest/gtest.h>

#include "test_files.h"
#include "tts/numbers.h"
#include "tts/symbols.h"

namespace {

using tts_test::cp;
using tts_test::utf8;
using tts::Gender;
using tts::NumberSpelling;

struct CardinalCase {
  uint64_t n;
  const char* words;
};

TEST(CardinalWords, WritesPortugueseNumbers) {
  const CardinalCase cases[] = {
      {0, "zero"},
      {1, "um"},
      {2, "dois"},
      {3, "três"},
      {10, "dez"},
      {16, "dezesseis"},
      {17, "dezessete"},
      {20, "vinte"},
      {21, "vinte e um"},
      {50, "cinqüenta"},
      {99, "noventa e nove"},
      {100, "cem"},
      {101, "cento e um"},
      {110, "cento e dez"},
      {200, "duzentos"},
      {999, "novecentos e noventa e nove"},
      {1000, "mil "},
      {1001, "mil e um"},
      {1500, "mil e quinhentos"},
      {1234, "mil e duzentos e trinta e quatro"},
      {2001, "dois mil e um"},
      {100000, "cem mil "},
      {1000000, "um milhão "},
      {1001000, "um milhão e mil "},
      {2000000, "dois milhões "},
      {2000001, "dois milhões e um"},
      {1000000000, "um bilhão "},
      {1000000000000, "um trilhão "},
      {999999999999999,
       "novecentos e noventa e nove trilhões novecentos e noventa e nove bilhões "
       "novecentos e noventa e nove milhões novecentos e noventa e nove mil e "
       "novecentos e noventa e nove"},
  };
  for (const CardinalCase& c : cases)
    EXPECT_EQ(utf8(tts::cardinalWords(c.n)), c.words) << c.n;
}

TEST(CardinalWords, SpellsValuesBeyondFifteenDigitsDigitByDigit) {
  EXPECT_EQ(tts::cardinalWords(1000000000000000), "um zero zero zero zero zero zero zero zero zero "
                                                  "zero zero zero zero zero zero");
  EXPECT_EQ(tts::cardinalWords(UINT64_MAX).substr(0, 12), "um oito quat");
}

TEST(CardinalWords, FeminineAgreesInTheLastWord) {
  const CardinalCase cases[] = {
      {1, "uma"}, {2, "duas"}, {21, "vinte e uma"}, {22, "vinte e duas"},
      {12, "doze"}, {3, "três"}, {0, "zero"}, {1000000, "um milhão "},
  };
  for (const CardinalCase& c : cases)
    EXPECT_EQ(utf8(tts::cardinalWords(c.n, Gender::feminine)), c.words) << c.n;
}

TEST(CardinalWords, RecordedPiecesSpellThreeAndFiftyWithoutMarks) {
  const CardinalCase cases[] = {
      {3, "tres"},
      {23, "vinte e tres"},
      {50, "cinquenta"},
      {53, "cinquenta e tres"},
      {303, "trezentos e tres"},
      {13, "treze"},
      {3000, "tres mil "},
      {2147483647,
       "dois bilhões cento e quarenta e sete milhões quatrocentos e oitenta e tres mil "
       "e seiscentos e quarenta e sete"},
  };
  for (const CardinalCase& c : cases)
    EXPECT_EQ(utf8(tts::cardinalWords(c.n, Gender::masculine, NumberSpelling::recordedPieces)),
              c.words)
        << c.n;
  EXPECT_EQ(tts::cardinalWords(1, Gender::feminine, NumberSpelling::recordedPieces), "uma");
}

struct OrdinalCase {
  uint64_t n;
  const char* masculine;
  const char* feminine;
};

TEST(OrdinalWords, WritesBothGenders) {
  const OrdinalCase cases[] = {
      {0, "zero", "zero"},
      {1, "primeiro", "primeira"},
      {2, "segundo", "segunda"},
      {3, "terceiro", "terceira"},
      {7, "sétimo", "sétima"},
      {10, "décimo", "décima"},
      {11, "décimo primeiro", "décima primeira"},
      {22, "vigésimo segundo", "vigésima segunda"},
      {80, "octogésimo", "octogésima"},
      {100, "centésimo", "centésima"},
      {123, "centésimo vigésimo terceiro", "centésima vigésima terceira"},
      {400, "quadringentésimo", "quadringentésima"},
      {1000, "milésimo", "milésima"},
      {1999, "milésimo nongentésimo nonagésimo nono", "milésima nongentésima nonagésima nona"},
      {2000, "dois mil ", "dois mil "},
      {2001, "dois mil e um", "dois mil e um"},
  };
  for (const OrdinalCase& c : cases) {
    EXPECT_EQ(utf8(tts::ordinalWords(c.n, Gender::masculine)), c.masculine) << c.n;
    EXPECT_EQ(utf8(tts::ordinalWords(c.n, Gender::feminine)), c.feminine) << c.n;
  }
}

TEST(SymbolName, NamesCharactersByCode) {
  const struct {
    unsigned char c;
    const char* name;
  } cases[] = {
      {' ', "espaço"}, {'#', "sustenido"}, {'-', "traço"},    {'0', "zéro"},
      {'C', " sê"},    {'c', " sê"},       {'d', " dê"},      {'W', "dábliu"},
      {'~', "til"},    {0xBA, "ordinal masculino"},           {0xC0, "A grave"},
      {0xE0, "A grave"}, {0xE1, "A agudo"}, {0xE7, "Cê cedilha"}, {0xFC, "U com trema"},
      {0xD7, "vezes"}, {0xF7, "vezes"},
      {0, ""}, {'\t', ""}, {127, ""}, {0x80, ""}, {0xA0, ""}, {0xDD, ""}, {0xFD, ""}, {0xFF, ""},
  };
  for (const auto& c : cases) EXPECT_EQ(utf8(tts::symbolName(c.c)), c.name) << int(c.c);
}

TEST(DigitWord, CoversDigitsOnly) {
  EXPECT_EQ(tts::digitWord(0), "zero");
  EXPECT_EQ(tts::digitWord(9), "nove");
  EXPECT_EQ(tts::digitWord(10), "");
  EXPECT_EQ(tts::digitWord(-1), "");
}

}  // namespace
