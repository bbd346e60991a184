#include <gtest/gtest.h>

#include "test_files.h"
#include "tts/letter_rules.h"

namespace {

using tts_test::cp;

tts::RuleTable rulesFrom(std::string_view utf8Text, tts::DataProblems* problems = nullptr) {
  tts::RuleTable table;
  EXPECT_TRUE(tts::loadRules(tts_test::writeTempFile("rules.nrl", cp(utf8Text)), table, problems));
  return table;
}

TEST(LoadRules, ParsesFieldsAndFilesRulesByFirstLetter) {
  tts::DataProblems problems;
  const tts::RuleTable table = rulesFrom(
      "; comentário\n"
      "(CH)=x|\n"
      "  |(R)=rr|  honra\r\n"
      "%(EX)#=e&z|\n"
      "(C)=k|\n",
      &problems);
  EXPECT_TRUE(problems.empty());
  ASSERT_EQ(table.byFirstLetter['C'].size(), 2u);
  EXPECT_EQ(table.byFirstLetter['C'][0].match, "CH");
  EXPECT_EQ(table.byFirstLetter['C'][0].output, "x");
  EXPECT_EQ(table.byFirstLetter['C'][1].match, "C");
  ASSERT_EQ(table.byFirstLetter['R'].size(), 1u);
  EXPECT_EQ(table.byFirstLetter['R'][0].left, "|");
  EXPECT_EQ(table.byFirstLetter['R'][0].output, "rr");
  const tts::LetterRule& ex = table.byFirstLetter['E'].at(0);
  EXPECT_EQ(ex.left, "%");
  EXPECT_EQ(ex.match, "EX");
  EXPECT_EQ(ex.right, "#");
  EXPECT_EQ(ex.output, "e&z");
}

TEST(LoadRules, CutsFieldsAndReportsMalformedLines) {
  tts::DataProblems problems;
  const tts::RuleTable table = rulesFrom(
      "ABCDEF(GHIJKL)MNOPQR=aaaa&bbbb&cccc&dddd&eeee|\n"  // every field too long
      "(Z)=z\n"                                            // no "|": output empty
      "(Y\n"                                               // no ")": match empty
      "()=a|\n"                                            // empty match
      "(\x01)=a|\n",                                       // control character
      &problems);
  const tts::LetterRule& cut = table.byFirstLetter['G'].at(0);
  EXPECT_EQ(cut.left, "ABCDE");
  EXPECT_EQ(cut.match, "GHIJK");
  EXPECT_EQ(cut.right, "MNOPQ");
  EXPECT_EQ(cut.output, "aaaa&bbbb&c");
  ASSERT_EQ(table.byFirstLetter['Z'].size(), 1u);
  EXPECT_EQ(table.byFirstLetter['Z'][0].output, "");
  EXPECT_TRUE(table.byFirstLetter['Y'].empty());
  EXPECT_TRUE(table.byFirstLetter[1].empty());
  size_t lines[6] = {};
  for (const tts::DataProblem& p : problems) ++lines[p.line];
  EXPECT_EQ(lines[1], 4u);  // each field cut
  for (size_t line = 2; line <= 5; ++line) EXPECT_GE(lines[line], 1u) << line;
}

TEST(LoadRules, FailsWithoutTheFile) {
  tts::RuleTable table;
  EXPECT_FALSE(tts::loadRules(testing::TempDir() + "missing.nrl", table));
}

struct ContextCase {
  const char* rule;  // left(match)right
  const char* word;  // upper case
  size_t pos;
  bool applies;
};

TEST(RuleApplies, ReadsEveryContextSymbol) {
  const ContextCase cases[] = {
      // right context
      {"(S)#", "SA", 0, true},        {"(S)#", "ST", 0, false},     {"(S)#", "S", 0, false},
      {"(S)%", "AS", 1, true},        {"(S)%", "ASA", 1, false},
      {"(S)&", "SM", 0, true},        {"(S)&", "SZ", 0, true},      {"(S)&", "ST", 0, false},
      {"(L)*", "ALTO", 1, true},      {"(L)*", "ALRO", 1, false},   {"(L)*", "AL", 1, false},
      {"(L)*T", "LT", 0, true},       // * looks without moving
      {"(C)+", "CE", 0, true},        {"(C)+", "CÍ", 0, true},      {"(C)+", "CÊ", 0, false},
      {"(C)+", "CA", 0, false},
      {"(N)[", "AN", 1, true},        {"(N)[", "ANT", 1, true},     {"(N)[", "ANH", 1, false},
      {"(N)[", "ANA", 1, false},      {"(N)[T", "ANT", 1, true},
      {"(A)\\%", "CASA", 3, true},    {"(A)\\%", "CASAS", 3, true}, {"(A)\\%", "CASAL", 3, false},
      {"(A)\\", "AB", 0, true},
      {"(C)Ê", "CÊ", 0, true},        {"(C)Ê", "CE", 0, false},
      // left context, read from right to left
      {"#(S)", "AS", 1, true},        {"#(S)", "TS", 1, false},     {"#(S)", "S", 0, false},
      {"%(R)", "RA", 0, true},        {"%(R)", "ARA", 1, false},
      {"](I)", "AI", 1, true},        {"](I)", "ÓI", 1, true},      {"](I)", "EI", 1, false},
      {"](I)", "I", 0, false},
      {"_(X)", "X", 0, true},         {"_(X)", "AX", 1, true},      {"_(X)", "TX", 1, false},
      {"%_(X)", "X", 0, true},        // _ at the start does not move
      {"|(R)", "NR", 1, true},        {"|(R)", "SR", 1, true},      {"|(R)", "TR", 1, false},
      {"É(U)", "ÉU", 1, true},        {"AB(C)", "ABC", 2, true},    {"AB(C)", "BAC", 2, false},
      // the match itself
      {"(CH)", "CH", 0, true},        {"(CH)", "C", 0, false},      {"(CH)", "CA", 0, false},
  };
  for (const ContextCase& c : cases) {
    const std::string text = cp(c.rule);
    const size_t open = text.find('('), close = text.find(')');
    const tts::LetterRule rule{text.substr(0, open), text.substr(open + 1, close - open - 1),
                               text.substr(close + 1), "x"};
    EXPECT_EQ(tts::ruleApplies(rule, cp(c.word), c.pos), c.applies)
        << c.rule << " on " << c.word << " at " << c.pos;
  }
}

std::string joined(const tts::PhonemeLines& lines) {
  std::string out;
  for (const std::string& l : lines) out += "[" + l + "]";
  return out;
}

TEST(WordToPhonemes, SplitsOutputsAndMarksTheStressedSyllable) {
  const tts::RuleTable table = rulesFrom(
      "(H)=|\n(A)=a|\n(B)=b&bb|\n(CA)=k&a|\n(Q)=aaaa&bbbb&cccc|\n(D)=¨d|\n");
  const struct {
    const char* word;
    size_t stress;
    const char* lines;
    const char* unhandled;
  } cases[] = {
      {"ABA", 3, "[a][b][bb][>a][]", ""},
      {"ABA", 0, "[a][b][bb][a][]", ""},
      {"HAB", 1, "[>a][b][bb][]", ""},  // a silent letter passes the mark on
      {"CAB", 2, "[k][a][>b][bb][]", ""},   // the mark goes to the rule at or past it
      {"AXA", 1, "[>a][a][]", "X"},
      {"Q", 0, "[aaaa][bbbb][c][]", ""},
      {"AD", 2, "[a][>\xA8" "d][]", ""},
      {"", 1, "[]", ""},
  };
  for (const auto& c : cases) {
    tts::PhonemeLines lines;
    EXPECT_EQ(tts::wordToPhonemes(table, c.word, c.stress, lines), c.unhandled) << c.word;
    EXPECT_EQ(joined(lines), c.lines) << c.word << " " << c.stress;
  }
}

}  // namespace
