#include <gtest/gtest.h>

#include "test_files.h"
#include "tts/phoneme_lines.h"

namespace {

using tts_test::cp;
using tts_test::joined;

tts::RuleTable sampleRules() {
  tts::RuleTable table;
  EXPECT_TRUE(tts::loadRules(tts_test::writeTempFile("lines.nrl", cp("(A)=a|\n(ÃO)=an&wn|\n(G)=g|\n"
                                                                      "(I)=i|\n(M)=m|\n(N)=n|\n"
                                                                      "(O)=o|\n(R)%=r2|\n(R)=r|\n"
                                                                      "(S)%=s2|\n(S)=s|\n(Z)=z|\n"
                                                                      "(U)=u|\n(L)=l|\n")),
                             table));
  return table;
}

TEST(WordsToPhonemeLines, BuildsMarkersPausesAndWords) {
  const tts::RuleTable rules = sampleRules();
  tts::ExceptionTable exceptions{{{"MIGO", "MAGO"}}};
  const std::vector<tts::CodedToken> coded = {
      {"555", ""}, {"544", "os"}, {"555", "amigos"}, {"556", ","}, {"555", " "},
      {"555", cp("não")}, {"555", "?"}, {"555", ""}, {"555", "migos"}};
  std::string unhandled;
  const tts::PhonemeLines lines = tts::wordsToPhonemeLines(coded, exceptions, rules, &unhandled);
  EXPECT_EQ(tts_test::utf8(joined(lines)),
            ";555|/__//"
            ";544|os/o/z//"                    // unstressed; s2 before a vowel becomes z
            ";555|amigos/a/m/>i/g/o/s2//"
            ";556|,/_,/"
            ";555| /"                          // a space gives no pause
            ";555|não/n/an/wn//"               // NÃO carries no stress mark
            ";555|?/_?/"
            ";555|/__//"
            ";555|migos/m/>a/g/o/s2//"         // the exception, and its plural
            "__/");
  EXPECT_EQ(unhandled, "");
}

TEST(WordsToPhonemeLines, ReportsLettersWithoutRules) {
  std::string unhandled;
  const tts::PhonemeLines lines =
      tts::wordsToPhonemeLines({{"555", "ab"}, {"555", "xyz"}}, {}, sampleRules(), &unhandled);
  EXPECT_EQ(unhandled, "BXY");
  EXPECT_EQ(joined(lines), ";555|ab/a//;555|xyz/>z//__/");
}

TEST(ApplyLiaison, JoinsFinalR2AndS2ToAVowelThatFollows) {
  const struct {
    tts::PhonemeLines before;
    const char* after;
  } cases[] = {
      {{";5|", "__", "", ";5|mar", "m", ">a", "r2", "", ";5|azul", ">a", "z", "u", "w", ""},
       ";5|/__//;5|mar/m/>a/r//;5|azul/>a/z/u/w//"},
      {{";5|", "__", "", ";5|os", "o", ">s2", "", ";5|eco", ">\xA8" "e", "k", "u", ""},
       ";5|/__//;5|os/o/>z//;5|eco/>\xA8" "e/k/u//"},
      {{";5|", "__", "", ";5|os", "o", "s2", "", ";5|yara", "y", ""},
       ";5|/__//;5|os/o/z//;5|yara/y//"},
      // a consonant, a pause between, or no next word: nothing changes
      {{";5|", "__", "", ";5|mas", "m", "a", "s2", "", ";5|nada", "n", ""},
       ";5|/__//;5|mas/m/a/s2//;5|nada/n//"},
      {{";5|", "__", "", ";5|mar", "r2", "", ";5|,", "_,", ";5|azul", "a", ""},
       ";5|/__//;5|mar/r2//;5|,/_,/;5|azul/a//"},
      {{";5|", "__", "", ";5|mar", "r2", "", ";5|a"}, ";5|/__//;5|mar/r2//;5|a/"},
      {{"s2", "", ";5|a", "a"}, "s2//;5|a/a/"},  // markers count from the fourth line
      {{}, ""},
  };
  for (const auto& c : cases) {
    tts::PhonemeLines lines = c.before;
    tts::applyLiaison(lines);
    EXPECT_EQ(joined(lines), c.after);
  }
}

}  // namespace
