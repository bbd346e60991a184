// The texts a script holds (variables, lists, the byte buffer) count
// together against MEMORIAMAXIMA: the command that would pass it fails with
// "Memória esgotada" and the execution-error report, and what is let go
// counts no more. Each script makes a 4 MiB text first; the bound is 10 MiB.
#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "support/roteiro_run.h"

namespace {

using testsupport::runScript;
using testsupport::ScratchDir;

const std::string kFourMiB = "seja a \"x\"\nrepete i 22\nconcatena a a\nfim repete\n";  // lines 1 to 4
const std::string kExhausted = "SHOW Mem\xC3\xB3ria esgotada\n";

struct Case {
  const char* name;
  std::string script;  // after the 4 MiB text
  std::string seen;
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

const Case kCases[] = {
    {"VariablesTogether", "seja b a\nseja c a\nescreve mudo \"nunca\"\n", kExhausted + "ERROR 6\n"},
    {"AVariableLetGoCountsNoMore", "seja b a\nseja b \"\"\nseja c a\nseja a \"\"\nseja d c\nescreve mudo \"ok\"\n",
     "SHOW ok\n"},
    {"AReplacedValueCountsOnce", "seja b a\nrepete i 20\nseja b a\nfim repete\nescreve mudo \"ok\"\n", "SHOW ok\n"},
    {"ConcatenaGrowsPastTheBound", "seja b a\nconcatena b a\nescreve mudo \"nunca\"\n", kExhausted + "ERROR 6\n"},
    {"CopiaToo", "copia b a 1 3000000\ncopia c a 1 4000000\nescreve mudo \"nunca\"\n",
     kExhausted + "ERROR 6\n"},
    {"ListItems", "lista [l] cria\nlista [l] adiciona a\nlista [l] adiciona a\nescreve mudo \"nunca\"\n",
     kExhausted + "ERROR 7\n"},
    {"AnItemRemovedOrAListDeletedCountsNoMore",
     "lista [l] cria\nlista [l] adiciona a\nlista [l] deleta a\nlista [l] adiciona a\nlista [l] apaga\n"
     "lista [m] cria\nlista [m] adiciona a\nescreve mudo \"ok\"\n",
     "SHOW ok\n"},
    {"TheByteBuffer", "escrevebyte a\nescrevebyte a\nescreve mudo \"nunca\"\n", kExhausted + "ERROR 6\n"},
    {"AWrittenOrEmptiedByteBufferCountsNoMore",
     "criabin \"f.bin\"\nescrevebyte a\ngravabytes\nescrevebyte a\nlimpabytes\nseja b a\nescreve mudo \"ok\"\n",
     "SHOW ok\n"},
};

class TextBound : public ::testing::TestWithParam<Case> {};

TEST_P(TextBound, PassingItFailsTheCommand) {
  const Case& c = GetParam();
  ScratchDir dir;
  const auto run = runScript(dir, kFourMiB + c.script, "LC_ALL=C", "MEMORIAMAXIMA=10\r\n");
  EXPECT_EQ(run.seen, c.seen);
  EXPECT_EQ(run.status, c.seen.find("ERROR") == std::string::npos ? 0 : 1);
}

INSTANTIATE_TEST_SUITE_P(Scripts, TextBound, ::testing::ValuesIn(kCases),
                         [](const auto& param) { return std::string(param.param.name); });

}  // namespace
