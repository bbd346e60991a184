#include <gtest/gtest.h>

#include "test_files.h"
#include "tts/prosody_code.h"
#include "tts/prosody_config.h"
#include "tts/tokenise.h"

namespace {

using tts_test::cp;

constexpr const char* kSample =
    "; prosódia de teste\n"
    "[DURAÇÃO]\n"
    "a=90\n"
    "r2 = 60\n"
    "__=400\n"
    "[CHAVES]\n"
    "* comentário\n"
    "de=pr\n"
    "QUEM=QUX\n"
    "o=AR\n"
    "[PROSÓDIA]\n"
    "hertz=200\n"
    "TABHERTZ=60,70,80,90,95,100,105,110,120,130\n"
    "|AR|=?44\n"
    "|XX|?" "?=548\n"
    "--||=667\n"
    "|QU|=\n"
    "[OUTRA]\n"
    "|XX|=111\n";

bool load(std::string_view utf8Text, tts::ProsodyConfig& config, tts::DataProblems* problems) {
  return tts::loadProsody(tts_test::writeTempFile("voice.pro", cp(utf8Text)), config, problems);
}

TEST(LoadProsody, ReadsTheThreeSections) {
  tts::ProsodyConfig config;
  tts::DataProblems problems;
  ASSERT_TRUE(load(kSample, config, &problems));
  EXPECT_TRUE(problems.empty());
  ASSERT_EQ(config.durations.size(), 3u);
  EXPECT_EQ(config.durations[1].name, "r2");
  EXPECT_EQ(config.durations[1].ms, 60);
  ASSERT_EQ(config.keywords.size(), 3u);
  EXPECT_EQ(config.keywords[0].word, "DE");  // sorted, upper-cased
  EXPECT_EQ(config.keywords[0].cls, "PR");
  EXPECT_EQ(config.keywords[2].cls, "QU");   // cut to two characters
  EXPECT_EQ(config.baseHertz, 200);
  EXPECT_EQ(config.pitchPercent[0], 60);
  EXPECT_EQ(config.pitchPercent[9], 130);
  ASSERT_EQ(config.rules.size(), 4u);  // the section ends at the next "["
  EXPECT_EQ(config.rules[1].current, "XX");
  EXPECT_EQ(config.rules[1].next, "??");
  EXPECT_EQ(config.rules[2].previous, "--");
  EXPECT_EQ(config.rules[3].code, "");
  EXPECT_EQ(tts::keywordClass(config, "QUEM"), "QU");
  EXPECT_EQ(tts::keywordClass(config, "CASA"), "XX");
}

TEST(LoadProsody, FailsOrWarnsAsEachFaultDeserves) {
  const struct {
    const char* text;
    bool loads;
    const char* message;
  } cases[] = {
      {"[DURAÇÃO]\na=90\n[CHAVES]\nDE=PR\n", false, "Prosódia: especificações ausentes"},
      {"[PROSÓDIA]\n", true, "Duração dos difones errada ou ausente"},
      {"[DURAÇÃO]\n[PROSÓDIA]\n", true, "Prosódia: palavras chaves ausentes"},
      {"[DURAÇÃO]\na 90\n[CHAVES]\n[PROSÓDIA]\n", false, "Configuração da prosódia: fonema errado: a 90"},
      {"[DURAÇÃO]\na=x\n[CHAVES]\n[PROSÓDIA]\n", true, "Configuração da prosódia: fonema errado: a=x"},
      {"[DURAÇÃO]\n[CHAVES]\nDE PR\n[PROSÓDIA]\n", false, "Configuração da prosódia: chave errada: DE PR"},
      {"[DURAÇÃO]\n[CHAVES]\n[PROSÓDIA]\n|XX|\n", false, "Configuração da prosódia: chave errada: |XX|"},
      {"[DURAÇÃO]\n[CHAVES]\n[PROSÓDIA]\n|XX|=55\n", false, "Configuração da prosódia: chave errada: |XX|=55"},
      {"[DURAÇÃO]\n[CHAVES]\n[PROSÓDIA]\n|XX|=5?5\n", false, "Configuração da prosódia: chave errada: |XX|=5?5"},
      {"[DURAÇÃO]\n[CHAVES]\n[PROSÓDIA]\nHERTZ=alto\n", false, "Configuração da prosódia: chave errada: HERTZ=alto"},
      {"[DURAÇÃO]\n[CHAVES]\n[PROSÓDIA]\nTABHERTZ=1,2,3\n", false, "Configuração da prosódia: chave errada: TABHERTZ=1,2,3"},
      {"[DURAÇÃO]\n[CHAVES]\n[PROSÓDIA]\nTABHERTZ=1,2,3,4,5,6,7,8,9,10,11\n", false, "Configuração da prosódia: chave errada: TABHERTZ=1,2,3,4,5,6,7,8,9,10,11"},
  };
  for (const auto& c : cases) {
    tts::ProsodyConfig config;
    tts::DataProblems problems;
    EXPECT_EQ(load(c.text, config, &problems), c.loads) << c.text;
    ASSERT_FALSE(problems.empty()) << c.text;
    EXPECT_EQ(tts_test::utf8(problems.front().message), c.message) << c.text;
  }
  tts::ProsodyConfig config;
  tts::DataProblems problems;
  EXPECT_FALSE(tts::loadProsody(testing::TempDir() + "missing.pro", config, &problems));
  EXPECT_EQ(tts_test::utf8(problems.at(0).message), "Configuração da prosódia não foi achada");
}

std::string tokenLines(const std::vector<tts::Token>& tokens) {
  std::string out;
  for (const tts::Token& t : tokens) out += "[" + t.cls + "]" + t.text + " ";
  return out;
}

TEST(Tokenise, SplitsWordsAndPunctuationWithSentenceMarks) {
  tts::ProsodyConfig config;
  ASSERT_TRUE(load(kSample, config, nullptr));
  const struct {
    const char* text;
    const char* tokens;
  } cases[] = {
      {"", "[--] "},
      {"  ", "[--] "},
      {"o Gato de casa", "[--] [AR]o [XX]Gato [PR]de [XX]casa "},
      {"Quem? Eu.", "[--] [QU]Quem [??]? [--] [XX]Eu [..]. [--] "},
      {"Sim!", "[--] [XX]Sim [!!]! [--] "},
      {"bem... e", "[--] [XX]bem [.-]. [--] [XX]e "},
      {"a,b", "[--] [XX]a [,,], [XX]b "},
      {"guarda-chuva", "[--] [XX]guarda [XX]chuva "},
      {"(não)", "[--] [((]( [XX]não [))]) "},
  };
  for (const auto& c : cases)
    EXPECT_EQ(tts_test::utf8(tokenLines(tts::tokenise(cp(c.text), config))), c.tokens) << c.text;
}

std::string codedLines(const std::vector<tts::CodedToken>& coded) {
  std::string out;
  for (const tts::CodedToken& t : coded) out += t.code + "|" + t.text + " ";
  return out;
}

TEST(CodeProsody, TakesTheFirstMatchingRule) {
  tts::ProsodyConfig config;
  ASSERT_TRUE(load(kSample, config, nullptr));
  const struct {
    const char* text;
    const char* coded;
  } cases[] = {
      // "?" takes the previous code's last digit: 5 before the first token.
      {"o gato", "555| 544|o 555|gato "},
      {"gato o gato", "555| 667|gato 744|o 555|gato "},
      {"vem? o", "555| 548|vem 555|? 555| 544|o "},
      {"casa quem", "555| 667|casa 555|quem "},  // an empty code is the default
  };
  for (const auto& c : cases)
    EXPECT_EQ(codedLines(tts::codeProsody(tts::tokenise(cp(c.text), config), config)), c.coded)
        << c.text;
}

TEST(CodeProsody, GivesEveryWordTheDefaultWithoutProsodyData) {
  const tts::ProsodyConfig none;
  const std::vector<tts::CodedToken> coded =
      tts::codeProsody(tts::tokenise("Isto, aquilo. Fim", none), none);
  ASSERT_EQ(coded.size(), 7u);
  for (const tts::CodedToken& t : coded) EXPECT_EQ(t.code, "555") << t.text;
  EXPECT_EQ(tts::tokenise("Isto", none).at(1).cls, "XX");
}

}  // namespace
