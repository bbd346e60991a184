#include <gtest/gtest.h>

#include "test_files.h"
#include "tts/abbreviations.h"
#include "tts/normalise.h"

namespace {

using tts_test::cp;
using tts_test::squeezed;
using tts_test::utf8;

tts::AbbreviationTable sampleAbbreviations() {
  return {{{"SR", "senhor"}, {"PS", cp("pós-escrito")}, {"DRA", "doutora"}}};
}

std::string normalised(std::string_view utf8Text) {
  return utf8(squeezed(tts::normaliseText(cp(utf8Text), sampleAbbreviations())));
}

struct Case {
  const char* text;
  const char* words;
};

void expectAll(std::initializer_list<Case> cases) {
  for (const Case& c : cases) EXPECT_EQ(normalised(c.text), c.words) << c.text;
}

TEST(NormaliseText, ReadsNumbersWithSeparatorsAndDecimals) {
  expectAll({
      {"1.000 reais", "mil reais"},
      {"1.000.000", "um milhão"},
      {"1.5", "um ponto cinco"},
      {"3,14", "três vírgula quatorze"},
      {"1.000,50", "mil vírgula cinqüenta"},
      {"1.0005", "um ponto zero zero zero cinco"},
      {"0.500", "zero ponto quinhentos"},
      {"007", "zero zero sete"},
      {"100%", "cem porcento"},
      {"2+2=4", "dois mais dois igual quatro"},
      {"-5", "menos cinco"},
      {"de -5 a 5", "de menos cinco a cinco"},
      {"abc123", "abc cento e vinte e três"},
  });
}

TEST(NormaliseText, SpellsDigitRunsWithHyphens) {
  expectAll({
      {"12-05-2010", "um dois traço zero cinco traço dois zero um zero"},
      {"0800-123", "zero oito zero zero traço um dois três"},
      {"7-", "sete traço"},
  });
}

TEST(NormaliseText, ReadsOrdinalMarkers) {
  expectAll({
      {"1º", "primeiro"},
      {"2ª", "segunda"},
      {"3os. lugares", "terceiros lugares"},
      {"2as. feiras", "segundas feiras"},
      {"1o. lugar", "primeiro lugar"},
      {"2a. vez", "segunda vez"},
      {"2000º", "dois mil"},
      {"3a feira", "três a feira"},
  });
}

TEST(NormaliseText, SplitsNumbersLongerThanFifteenDigits) {
  EXPECT_EQ(normalised("1234567890123456"),
            "cento e vinte e três trilhões quatrocentos e cinqüenta e seis bilhões setecentos e "
            "oitenta e nove milhões doze mil e trezentos e quarenta e cinco seis");
}

TEST(NormaliseText, ExpandsAbbreviationsBeforeFullStopAndSpace) {
  expectAll({
      {"Sr. Silva", "senhor Silva"},
      {"o sr. disse", "o senhor disse"},
      {"a Dra. Ana", "a doutora Ana"},
      {"PS. Volto logo", "pós-escrito Volto logo"},
      {"Sr.", "Sr."},
      {"Sr.Silva", "Sr ponto Silva"},
      {"Sr.\nSilva", "senhor Silva"},
  });
}

TEST(NormaliseText, SpellsAcronymsAndLoneConsonants) {
  expectAll({
      {"CPF", "sê pê éfe"},
      {"10 kg", "dez cá jê"},
      {"x", "xis"},
      {"y e z", "ípsilon e zê"},
      {"www.escuta.br", "dábliu dábliu dábliu ponto escuta ponto bê érre"},
      {"pq-sp", "pê quê traço ésse pê"},
  });
}

TEST(NormaliseText, HandlesPunctuationAndBlanks) {
  expectAll({
      {"sim - não", "sim , não"},
      {"guarda-chuva", "guarda-chuva"},
      {"Olá, mundo! Tudo bem?", "Olá, mundo! Tudo bem?"},
      {"Espere...sim", "Espere... sim"},
      {"Fim.\nNovo", "Fim. Novo"},
      {"um\tdois\r\ntrês", "um dois três"},
      {"arquivo.txt", "arquivo ponto tê xis tê"},
      {"(sim; não: talvez)", "(sim; não: talvez)"},
      {"eu@casa", "eu arrôba casa"},
      {"a - b", "a , bê"},  // a lone consonant is spelled
  });
}

TEST(NormaliseText, NamesASingleCharacter) {
  expectAll({
      {"#", "sustenido"},
      {"a", "a"},
      {"5", "cinco"},
      {"é", "É agudo"},
      {"", ""},
  });
  EXPECT_EQ(tts::normaliseText("\t", {}), "");
}

TEST(LoadAbbreviations, ReadsKeysUpperCasedInFileOrder) {
  const std::string path = tts_test::writeTempFile(
      "abbreviations.abr",
      cp("; comentário\r\n\r\n  sr = senhor \r\nSR=segundo\r\npág=página\r\nsem igual\r\n"));
  tts::AbbreviationTable table;
  tts::DataProblems problems;
  ASSERT_TRUE(tts::loadAbbreviations(path, table, &problems));
  ASSERT_EQ(table.entries.size(), 4u);
  EXPECT_EQ(table.entries[0].key, "SR");
  EXPECT_EQ(tts::lookupAbbreviation(table, "Sr"), "senhor");
  EXPECT_EQ(tts::lookupAbbreviation(table, cp("PÁG")), cp("página"));
  EXPECT_EQ(tts::lookupAbbreviation(table, "Srs"), "");
  EXPECT_EQ(tts::lookupAbbreviation(table, ""), "");
  // The line without "=" has an empty key that nothing finds; it is reported.
  EXPECT_EQ(table.entries[3].key, "");
  ASSERT_EQ(problems.size(), 1u);
  EXPECT_EQ(problems[0].line, 6u);
}

TEST(LoadAbbreviations, StopsAtTheLimitAndCutsLongExpansions) {
  std::string text = "LONGA=" + std::string(1500, 'x') + "\n";
  for (int i = 0; i < 2100; ++i) text += "K" + std::to_string(i) + "=v\n";
  const std::string path = tts_test::writeTempFile("many.abr", text);
  tts::AbbreviationTable table;
  tts::DataProblems problems;
  ASSERT_TRUE(tts::loadAbbreviations(path, table, &problems));
  EXPECT_EQ(table.entries.size(), tts::kMaxAbbreviations);
  EXPECT_EQ(table.entries[0].expansion.size(), tts::kMaxExpansion);
  EXPECT_EQ(problems.size(), 2u);
}

TEST(LoadAbbreviations, FailsWithoutTheFile) {
  tts::AbbreviationTable table;
  EXPECT_FALSE(tts::loadAbbreviations(testing::TempDir() + "missing.abr", table));
  EXPECT_FALSE(tts::loadAbbreviations(testing::TempDir(), table));  // a directory
}

}  // namespace
