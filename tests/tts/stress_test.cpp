#include <gtest/gtest.h>

#include "test_files.h"
#include "tts/chars.h"
#include "tts/exceptions.h"
#include "tts/stress.h"

namespace {

using tts_test::cp;

TEST(StressPosition, FindsTheStressedLetter) {
  const struct {
    const char* word;
    size_t position;
  } cases[] = {
      {"café", 4},    {"casa", 2},     {"casas", 2},    {"falar", 4},   {"jardim", 5},
      {"falam", 2},   {"homem", 2},    {"beijo", 2},    {"urubu", 5},   {"dia", 2},
      {"aquele", 4},  {"guerra", 3},   {"quais", 3},    {"português", 8}, {"você", 4},
      {"irmão", 4},   {"lápis", 2},    {"útil", 1},     {"papel", 4},   {"jovens", 2},
      {"bom", 2},     {"Brasil", 5},   {"CASA", 2},     {"tatu", 4},    {"saguão", 5},
      {"enquanto", 5}, {"averigúe", 7}, {"água", 1},    {"pais", 2},    {"rainha", 2},
      // A written acute or circumflex outweighs a tilde; the grave marks no stress.
      {"homens", 2},  {"viagens", 3},  {"jardins", 5},  {"atuns", 3},
      {"órgão", 1},   {"bênção", 2},   {"àquele", 4},
      // No vowel, no stress.
      {"psst", 0},    {"", 0},         {"hmm", 0},
  };
  for (const auto& c : cases)
    EXPECT_EQ(tts::stressPosition(cp(c.word)), c.position) << c.word;
}

TEST(StressPosition, StaysWithinTheWordForAnyBytes) {
  for (int c = 0; c < 256; ++c) {
    const std::string word = std::string("qu") + static_cast<char>(c) + "gu" + static_cast<char>(c);
    EXPECT_LE(tts::stressPosition(word), word.size()) << c;
  }
}

TEST(IsUnstressedWord, CoversShortWordsAndTheListedOnes) {
  for (const char* w : {"A", "DE", "EM", "POR", "DAS", "DOS", "COM", "NÃO", "SIM", ""})
    EXPECT_TRUE(tts::isUnstressedWord(cp(w))) << w;
  for (const char* w : {"CASA", "PARA", "NAO", "SIMS", "COMO"})
    EXPECT_FALSE(tts::isUnstressedWord(cp(w))) << w;
}

tts::ExceptionTable exceptionsFrom(std::string_view utf8Text, tts::DataProblems* problems) {
  tts::ExceptionTable table;
  EXPECT_TRUE(tts::loadExceptions(tts_test::writeTempFile("words.exc", cp(utf8Text)), table,
                                  problems));
  return table;
}

TEST(Exceptions, ReplaceWholeWordsAndTheirPlurals) {
  tts::DataProblems problems;
  const tts::ExceptionTable table = exceptionsFrom(
      "; comentário\n"
      "porta=pórta\r\n"
      "\n"
      "  NOVA = NÓVA \n"
      "ABC=\n"
      "TREM=TRÊM\n",
      &problems);
  EXPECT_TRUE(problems.empty());
  ASSERT_EQ(table.entries.size(), 4u);
  EXPECT_TRUE(std::is_sorted(table.entries.begin(), table.entries.end(),
                             [](const auto& a, const auto& b) { return a.word < b.word; }));
  const struct {
    const char* word;
    const char* result;
  } cases[] = {
      {"PORTA", "PÓRTA"},   {"PORTAS", "PÓRTAS"}, {"NOVA", "NÓVA"},    {"NOVASM", "NÓVASM"},
      {"TREM", "TRÊM"},     {"TRENS", "TRENS"},   {"ABC", ""},         {"ABCS", "S"},
      {"CASA", "CASA"},     {"CASAS", "CASAS"},   {"S", "S"},          {"", ""},
      {"PORT", "PORT"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(tts::applyException(table, cp(c.word)), cp(c.result)) << c.word;
}

TEST(Exceptions, ReportLinesTheyCannotUse) {
  tts::DataProblems problems;
  const tts::ExceptionTable table = exceptionsFrom(
      "SEM IGUAL\n"
      "=VAZIA\n"
      "DUAS PALAVRAS=X\n"
      "CASA=C-A\n"
      "CASA=CÁSA\n" +
          std::string(200, 'A') + "=" + std::string(100, 'B') + "\n",
      &problems);
  // The respelling with a hyphen and the repeated word still load, reported;
  // the long line is cut to 255 characters.
  ASSERT_EQ(table.entries.size(), 3u);
  EXPECT_EQ(problems.size(), 6u);
  EXPECT_EQ(table.entries.front().word, std::string(200, 'A'));
  EXPECT_EQ(table.entries.front().respelling, std::string(54, 'B'));
}

TEST(Exceptions, StopAtTheLimitAndFailWithoutTheFile) {
  std::string text;
  for (int i = 0; i < 15100; ++i) {
    std::string word;
    for (int n = i; n > 0 || word.empty(); n /= 26) word += static_cast<char>('A' + n % 26);
    text += word + "=X\n";
  }
  tts::DataProblems problems;
  const tts::ExceptionTable table = exceptionsFrom(text, &problems);
  EXPECT_EQ(table.entries.size(), tts::kMaxExceptions);
  EXPECT_EQ(problems.size(), 1u);
  tts::ExceptionTable missing;
  EXPECT_FALSE(tts::loadExceptions(testing::TempDir() + "missing.exc", missing));
}

TEST(Exceptions, StripLongRunsOfSWithoutCopying) {
  const tts::ExceptionTable table = exceptionsFrom("CASA=KASA\n", nullptr);
  const std::string word = "CASA" + std::string(200000, 'S');
  const std::string result = tts::applyException(table, word);
  EXPECT_EQ(result.size(), word.size());
  EXPECT_EQ(result.substr(0, 5), "KASAS");
}

}  // namespace
