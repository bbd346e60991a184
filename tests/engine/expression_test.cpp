// Operand readers and expressions: what each reads, what it leaves for the
// next reader, and the quirks scripts rely on.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "engine/condition.h"
#include "engine/interp.h"
#include "engine/recording_reporter.h"
#include "engine/lists.h"
#include "engine/readers.h"
#include "engine/variables.h"

namespace {

using engine::readOperand;

struct OperandCase {
  const char* text;
  bool ok;
  const char* value;
  const char* rest;
};

class Readers : public ::testing::Test {
 protected:
  // A fresh interpreter for each test.
  testsupport::RecordingReporter reporter_;
  engine::Interp in_{reporter_};

  void SetUp() override {
    ASSERT_TRUE(engine::setVariable(in_, 'A', "21").ok());
    ASSERT_TRUE(engine::setVariable(in_, 'B', "x").ok());
    ASSERT_TRUE(engine::setVariable(in_, 'W', "palavra").ok());
  }
  void check(const OperandCase& c) {
    std::string_view text = c.text;
    std::string value;
    const bool ok = readOperand(in_, text, value);
    EXPECT_EQ(ok, c.ok) << c.text;
    if (!ok || !c.ok) return;
    EXPECT_EQ(value, c.value) << c.text;
    EXPECT_EQ(text, c.rest) << c.text;
  }
};

TEST_F(Readers, OperandsOfEveryKind) {
  const OperandCase cases[] = {
      {"  \"ab\"  ", true, "ab", ""},
      {"\"a\"\"b\"", true, "a\"b", ""},
      {"\"nunca fechado", true, "nunca fechado", ""},
      {"\"a\"$nome", true, "a", "$nome"},
      {"-12abc", true, "-12", "abc"},
      {"-", true, "-", ""},
      {"--5", true, "-", "-5"},
      {"ab", true, "21", "b"},
      {"A", true, "21", ""},
      {"w1", true, "palavra", "1"},
      {"$", false, "", ""},
      {"$nada", true, "", ""},
      {"+5", false, "", ""},
      {"", false, "", ""},
      {"   ", false, "", ""},
      {"#13", false, "", ""},
      {"\xE9", false, "", ""},
  };
  for (const OperandCase& c : cases) check(c);
}

TEST_F(Readers, Expressions) {
  ASSERT_TRUE(engine::setVariable(in_, 'H', "$10").ok());
  const OperandCase cases[] = {
      {"(1+2*3)", true, "7", ""},
      {"((8-2)/4)", true, "1", ""},
      {"(-7/2)", true, "-3", ""},
      {"(a*2)", true, "42", ""},
      {"(h+1)", true, "17", ""},
      {"(b*2)", false, "", ""},  // B holds a word
      {"(2147483647+1)", true, "2147483648", ""},
      {"(4294967296)", true, "0", ""},      // number tokens wrap in 32 bits
      {"(2147483648)", true, "-2147483648", ""},
      {"(2*)", true, "2", ""},
      {"(2*+3)", true, "5", ""},
      {"(2+)", true, "2", ""},
      {"(2**3)", false, "", ""},
      {"(2+-3)", true, "-1", ""},
      {"(2++3)", false, "", ""},
      {"(2+*3)", false, "", ""},
      {"(--3)", true, "3", ""},
      {"()", false, "", ""},
      {"(\"1\")", false, "", ""},
      {"(1/0)", false, "", ""},
      {"(1 2)", false, "", ""},
      {"(1", false, "", ""},
      {"( 3 ) resto", true, "3", "resto"},
      {"(3)abc", true, "3", "abc"},
      {"($a_b)", false, "", ""},  // no underscore inside expressions
      {"(3000000000*3000000000)", true, "1676940297709551616", ""},  // each wraps to -1294967296
      {"(65536*65536*65536*65536*2)", true, "0", ""},  // 64-bit wrap
      {"(1-2-3)", true, "-4", ""},
      {"(12/4/3)", true, "1", ""},
  };
  for (const OperandCase& c : cases) check(c);
}

TEST_F(Readers, DeepNestingFailsInsteadOfOverflowing) {
  const std::string deep = std::string(100000, '(') + "1" + std::string(100000, ')');
  std::string_view text = deep;
  std::string value;
  EXPECT_FALSE(readOperand(in_, text, value));
  const std::string negations = "(" + std::string(100000, '-') + "1)";
  text = negations;
  EXPECT_FALSE(readOperand(in_, text, value));
  const std::string fine = std::string(50, '(') + "1" + std::string(50, ')');
  text = fine;
  EXPECT_TRUE(readOperand(in_, text, value));
  EXPECT_EQ(value, "1");
}

TEST_F(Readers, TheTextAfterAnExpressionIsCutTo9999Characters) {
  const std::string line = "(1)" + std::string(20000, 'x');
  std::string_view text = line;
  std::string value;
  ASSERT_TRUE(readOperand(in_, text, value));
  EXPECT_EQ(text.size(), 9999u);
}

TEST_F(Readers, NamedVariablesAreEnteredInOrderAndRefusedPastTheLast) {
  std::string_view text = "$Versao $VERSAO";
  int first, second;
  ASSERT_TRUE(engine::readTarget(in_, text, first));
  ASSERT_TRUE(engine::readTarget(in_, text, second));
  EXPECT_EQ(first, second);
  EXPECT_EQ(first, 91);
  for (int i = 1; i <= 100; ++i) EXPECT_EQ(engine::enterName(in_, "v" + std::to_string(i)), 91 + i);
  text = "$umAMais";
  int code;
  EXPECT_FALSE(engine::readTarget(in_, text, code));
  std::string value;
  text = "$outroMais";
  EXPECT_FALSE(readOperand(in_, text, value));
}

TEST_F(Readers, TargetsChannelsAndListNames) {
  struct TargetCase {
    const char* text;
    bool ok;
    int code;
    const char* rest;
  } targets[] = {
      {"a", true, 'A', ""}, {"a b", true, 'A', "b"}, {"ab", false, 0, ""}, {"a1", false, 0, ""},
      {"a_", true, 'A', "_"}, {"\"a\"", false, 0, ""}, {"(1)", false, 0, ""}, {"", false, 0, ""},
  };
  for (const TargetCase& c : targets) {
    std::string_view text = c.text;
    int code = 0;
    EXPECT_EQ(engine::readTarget(in_, text, code), c.ok) << c.text;
    if (c.ok) {
      EXPECT_EQ(code, c.code) << c.text;
      EXPECT_EQ(text, c.rest) << c.text;
    }
  }
  struct ChannelCase {
    const char* text;
    bool ok;
    int channel;
    const char* rest;
  } channels[] = {
      {"#3 nome", true, 3, "nome"}, {"#3nome", false, 0, ""}, {"#3", true, 3, ""},
      {"#10", false, 0, ""},        {"3", false, 0, ""},      {"#x", false, 0, ""},
      {"#3\tnome", false, 0, ""},
  };
  for (const ChannelCase& c : channels) {
    std::string_view text = c.text;
    int n = -1;
    EXPECT_EQ(engine::readChannel(text, n), c.ok) << c.text;
    if (c.ok) {
      EXPECT_EQ(n, c.channel) << c.text;
      EXPECT_EQ(text, c.rest) << c.text;
    }
  }
  struct ListCase {
    const char* text;
    bool ok;
    const char* name;
    const char* rest;
  } lists[] = {
      {"[Nomes] cria", true, "Nomes", " cria"}, {"[]]", true, "]", ""}, {"[ a b ]x", true, " a b ", "x"},
      {"[ab", false, "", ""},                   {"[", false, "", ""},   {"Nomes]", false, "", ""},
  };
  for (const ListCase& c : lists) {
    std::string_view text = c.text;
    std::string name;
    EXPECT_EQ(engine::readListName(text, name), c.ok) << c.text;
    if (c.ok) {
      EXPECT_EQ(name, c.name) << c.text;
      EXPECT_EQ(text, c.rest) << c.text;
    }
  }
}

struct ConditionCase {
  const char* text;
  bool parsed;
  bool result;
  const char* rest;
};

TEST_F(Readers, Conditions) {
  ASSERT_TRUE(engine::setVariable(in_, 'Z', "007").ok());
  engine::List* list = engine::createList(in_, "nomes");
  list->items = {"Ana", "12"};
  engine::createList(in_, "vazia");
  const ConditionCase cases[] = {
      {"9 < 10", true, true, ""},
      {"\"9a\" > \"10a\"", true, true, ""},
      {"\"abc\" = \"ABC\"", true, true, ""},
      {"\"abc\" == \"ABC\"", true, false, ""},
      {"z = 7", true, true, ""},
      {"z == 7", true, false, ""},
      {"-5 < -3", true, false, ""},
      {"e = 0", true, false, ""},
      {"e < 0", true, true, ""},
      {"e <> 0", true, true, ""},
      {"9 >= 10", true, false, ""},
      {"10 <= 10", true, true, ""},
      {"\"abcdef\" *=* \"cd\"", true, true, ""},
      {"\"abcdef\" *=* \"CD\"", true, false, ""},
      {"\"abc\" *=* \"\"", true, false, ""},
      {"\"abc\" =* \"ab\"", true, true, ""},
      {"\"abc\" *= \"bc\"", true, true, ""},
      {"\"abc\" =* \"\"", true, false, ""},
      {"N\xC3O \"abc\" *=* \"b\"", true, false, ""},
      {"nao 1 = 2", true, true, ""},
      {"n\xE3o 1 = 2", true, true, ""},
      {"\"ANA\" em [nomes]", true, true, ""},
      {"012 EM [nomes]", true, true, ""},
      {"\"x\" em [nomes]", true, false, ""},
      {"\"x\" em [vazia]", true, false, ""},
      {"N\xC3O \"x\" EM [vazia]", true, true, ""},
      {"\"x\" em [NOMES]", false, false, ""},  // names keep their case
      {"1 = 1retorna", true, true, "retorna"},
      {"1 = 1 escreve \"x\"", true, true, "escreve \"x\""},
      {"1 = 1 y", true, true, "y"},
      {"NAO", false, false, ""},
      {"1", false, false, ""},
      {"1 ! 2", false, false, ""},
      {"1 =", false, false, ""},
      {"1 = +", false, false, ""},
      {"(b*2) = 1", false, false, ""},
  };
  for (const ConditionCase& c : cases) {
    std::string_view text = c.text;
    bool result = !c.result;
    EXPECT_EQ(engine::evaluateCondition(in_, text, result), c.parsed) << c.text;
    if (!c.parsed) continue;
    EXPECT_EQ(result, c.result) << c.text;
    EXPECT_EQ(text, c.rest) << c.text;
  }
}

// Malformed operand text of every shape: each reader ends, never reads past
// the text, and only ever shortens it.
TEST_F(Readers, AnyTextIsReadOrRefusedSafely) {
  const char* pieces[] = {"(", ")", "\"", "\"\"", "$", "$a_b", "a", "Z", "-", "+", "*", "/", "7", "2147483648", "#",
                          "#3", "[", "]", " ", "\t", "=", "<", ">", "*=*", "EM", "N\xC3O", "\xE9", "\xFF", "x"};
  std::mt19937 rng(7);
  for (int round = 0; round < 20000; ++round) {
    std::string line;
    const int n = static_cast<int>(rng() % 12);
    for (int i = 0; i < n; ++i) line += pieces[rng() % std::size(pieces)];
    std::string value, name;
    int code, channel;
    bool result;
    for (int reader = 0; reader < 5; ++reader) {
      std::string_view text = line;
      for (int step = 0; step < 40 && !text.empty(); ++step) {
        const size_t before = text.size();
        bool ok = false;
        switch (reader) {
          case 0: ok = readOperand(in_, text, value); break;
          case 1: ok = engine::readTarget(in_, text, code); break;
          case 2: ok = engine::readChannel(text, channel); break;
          case 3: ok = engine::readListName(text, name); break;
          case 4: ok = engine::evaluateCondition(in_, text, result); break;
        }
        ASSERT_LE(text.size(), before) << line;
        ASSERT_GE(text.data(), line.data());
        ASSERT_LE(text.data() + text.size(), line.data() + line.size());
        if (!ok || text.size() == before) break;
      }
    }
  }
}

}  // namespace
