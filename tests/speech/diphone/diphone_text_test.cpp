// Text to phone strings: decomposition, stress, the rule contexts, the
// exceptions, and the voice's own rules on real words.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "platform/base/codepage.h"
#include "speech/diphone/diphone_decompose.h"
#include "speech/diphone/diphone_stress.h"
#include "speech/diphone/text_to_phones.h"
#include "support/scratch.h"

namespace speech {
namespace {

std::string cp(std::string_view utf8) { return platform::utf8ToCp1252(utf8); }

void write(const std::string& path, std::string_view text) { std::ofstream(path, std::ios::binary) << text; }

TEST(DiphoneDecompose, AccentsBecomeMarksAndWYFollowTheirNeighbours) {
  const struct {
    const char* utf8;
    std::string decomposed;
  } cases[] = {
      {"ação", "assa~o"},
      {"café", "cafe'"},
      {"d'água", "da'gua"},
      {"D'Ávila", "Da'vila"},
      {"Wagner", "uagner"},
      {"w", "w"},
      {" W ", " W "},
      {"Yara", "iara"},
      {"Ñandu Ü", "nhandu u"},
      {"ÿ ß Æ Ø", "y ss ae oe"},
      {"× ÷", "\xD7 \xF7"},
      {"a\tb\x01", "ab"},
      {"a\xC2\xA0" "b", "a b"},
      {"Ðx", std::string(" \0 x", 4)},
      {"‚", std::string(" \0 ", 3)},
  };
  for (const auto& c : cases) EXPECT_EQ(decomposeText(cp(c.utf8)), c.decomposed) << c.utf8;
  // Unassigned Windows-1252 codes have empty entries too.
  for (const char c : {'\x81', '\x8D', '\x8F', '\x90', '\x9D'})
    EXPECT_EQ(decomposeText(std::string(1, c)), std::string(" \0 ", 3)) << int(static_cast<unsigned char>(c));
  EXPECT_EQ(decomposeText("\xA9"), "\xA9");  // © stays itself
}

TEST(DiphoneStress, MarksTheStressedVowel) {
  const struct {
    std::string word;
    int vowels;
    bool accented;
    std::string marked;
  } cases[] = {
      {"casa", 2, false, "cAsa"},
      {"aqui", 3, false, "aquI"},  // the u after q is passed over
      {"cafe'", 2, true, "cafe'"},
      {"mar", 1, false, "mar"},  // one vowel, not ending in l
      {"sol", 1, false, "sOl"},
      {"falar", 2, false, "falAr"},
      {"jardim", 2, false, "jardIm"},
      {"homem", 2, false, "hOmem"},
      {"casas", 2, false, "cAsas"},
      {"dia", 2, false, "dIa"},
      {"rainha", 3, false, "raInha"},
      {"ainda", 3, false, "aInda"},
      {"boa", 2, false, "bOa"},
      {"ela", 2, false, "Ela"},  // stressed on the first letter
      {"isso", 2, false, "isso"},  // the scan ends waiting past the first letter
      {"crt", 0, false, "crt"},
  };
  for (const auto& c : cases) {
    std::string word = c.word;
    markStress(word, c.vowels, c.accented);
    EXPECT_EQ(word, c.marked) << c.word;
  }
}

// Each context symbol, with rules written for the test.
TEST(DiphoneRules, ContextSymbols) {
  testsupport::ScratchDir dir;
  write(dir / "r.rgr",
        "; symbols\n"
        "(A)#=V|\n"
        "(B)%=E|\n"
        "(C)&=S|\n"
        "(D)*=K|\n"
        "(F)+%=F|\n"
        "(H)#%=H|\n"
        "(G)[=G|\n"
        "(J)\\%=J|\n"
        "#(L)=L|\n"
        "](M)=M|\n"
        "%_(N)=N|\n"
        "B_(N)=n|\n"
        "|(P)=P|\n"
        "%(QU)=Q|\n"
        "X(T)=T|\n"
        "%#(Z)=Z|\n");
  DiphoneText voice;
  std::vector<std::string> problems;
  ASSERT_TRUE(loadDiphoneRules(dir / "r.rgr", voice.rules, &problems));
  EXPECT_TRUE(problems.empty());
  const struct {
    const char* word;
    const char* phones;
  } cases[] = {
      {"ae", "[V/ /_E]"},        // # needs a vowel after
      {"a", "[ /_A]"},
      {"ab", "[ /_A/E]"},        // % at the end
      {"aba", "[ /_A/ /_B/ /_A]"},
      {"icl", "[ /_I/S/ /_L]"},  // & l m n r z
      {"idp", "[ /_I/K/ /_P]"},  // * a consonant but r, l
      {"idr", "[ /_I/ /_D/ /_R]"},
      {"ife", "[ /_I/F/ /_E]"},  // + e or i, with its mark
      {"ife'", "[ /_I/F/ /_E/ /_']"},
      {"ifex", "[ /_I/ /_F/ /_E/ /_X]"},
      {"ifa", "[ /_I/ /_F/ /_A]"},
      {"hae", "[H/V/ /_E]"},     // # takes every vowel
      {"haet", "[ /_H/V/ /_E/ /_T]"},
      {"ig", "[ /_I/G]"},        // [ the end...
      {"igt", "[ /_I/G/ /_T]"},  // ... or a consonant but h
      {"igh", "[ /_I/ /_G/ /_H]"},
      {"ijs", "[ /_I/J/ /_S]"},  // \ steps over an s
      {"ij", "[ /_I/J]"},
      {"ejx", "[ /_E/ /_J/ /_X]"},
      {"el", "[ /_E/L]"},        // # a vowel before
      {"e'l", "[ /_E/ /_'/L]"},  // ... or an accent mark
      {"am", "[ /_A/M]"},        // ] a or o, with its mark
      {"a'm", "[V/ /_'/M]"},      // (# takes an accent mark too)
      {"em", "[ /_E/ /_M]"},
      {"n", "[N]"},              // _ the start
      {"en", "[ /_E/N]"},        // ... or a vowel
      {"ben", "[ /_B/ /_E/n]"},
      {"be'n", "[ /_B/ /_E/ /_'/n]"},
      {"bn", "[ /_B/ /_N]"},
      {"rp", "[ /_R/P]"},        // | n r s
      {"tp", "[ /_T/ /_P]"},
      {"qua", "[Q/ /_A]"},
      {"xt", "[ /_X/T]"},
      {"aez", "[V/ /_E/Z]"},     // # before takes every vowel
      {"baez", "[ /_B/V/ /_E/ /_Z]"},
  };
  for (const auto& c : cases) {
    std::string unhandled;
    // A capital marks the stress; these words have none, so none is added.
    EXPECT_EQ(applyDiphoneRules(voice.rules, c.word, &unhandled), c.phones) << c.word;
  }
}

TEST(DiphoneRules, StressedLetterCapitalisesTheOutputsFirstVowel) {
  testsupport::ScratchDir dir;
  write(dir / "r.rgr", "(A)=ya^|\n(E)=x|\n");
  DiphoneRules rules;
  ASSERT_TRUE(loadDiphoneRules(dir / "r.rgr", rules));
  EXPECT_EQ(applyDiphoneRules(rules, "Aa"), "[yA^/ya^]");
  EXPECT_EQ(applyDiphoneRules(rules, "E"), "[x]");
}

TEST(DiphoneRules, LinesThatAreNotRulesRefuseTheFile) {
  const struct {
    const char* line;
    bool ok;
  } cases[] = {
      {"(A)=a|", true},
      {"  \t", true},
      {"; (A=a", true},
      {"(A=a|", false},
      {"(A)a|", false},
      {"(A)=a", false},
      {"()=a|", false},
      {"(a)=a|", false},  // a small letter cannot be filed
      {"(ABCDEF)=a|", false},
      {"ABCDEF(A)=a|", false},
      {"(A)=abcdefghijkl|", false},
  };
  testsupport::ScratchDir dir;
  for (const auto& c : cases) {
    write(dir / "r.rgr", std::string("(B)=b|\n") + c.line + "\n");
    DiphoneRules rules;
    std::vector<std::string> problems;
    EXPECT_EQ(loadDiphoneRules(dir / "r.rgr", rules, &problems), c.ok) << c.line;
    EXPECT_EQ(problems.empty(), c.ok) << c.line;
  }
  DiphoneRules rules;
  EXPECT_FALSE(loadDiphoneRules(dir / "absent.rgr", rules));
}

TEST(DiphoneExceptions, StrippedSAndMGoBackAfterTheReplacement) {
  testsupport::ScratchDir dir;
  write(dir / "e.exc", "; comment\r\n\r\nnova=no'va\r\nbem=be^ym\r\nsolto\r\nxis=\r\n");
  DiphoneExceptions table;
  std::vector<std::string> problems;
  ASSERT_TRUE(loadDiphoneExceptions(dir / "e.exc", table, &problems));
  ASSERT_EQ(problems.size(), 1u);  // the line without "="
  const struct {
    const char* word;
    bool found;
    const char* replaced;
  } cases[] = {
      {"nova", true, "no'va"}, {"novas", true, "no'vas"}, {"novasm", true, "no'vasm"},
      {"bem", true, "be^ym"},  {"bens", false, ""},       {"solto", false, ""},
      {"solto|", true, ""},    {"xis", true, ""},         {"mmm", false, ""},
  };
  for (const auto& c : cases) {
    std::string replaced;
    EXPECT_EQ(findException(table, c.word, replaced), c.found) << c.word;
    if (c.found) {
      EXPECT_EQ(replaced, c.replaced) << c.word;
    }
  }
  EXPECT_FALSE(loadDiphoneExceptions(dir / "absent.exc", table));
}

TEST(DiphoneExceptions, KeepsTheFirst15000Pairs) {
  testsupport::ScratchDir dir;
  std::string text;
  for (int i = 0; i < 15005; ++i) text += "w" + std::to_string(i) + "=x\n";
  write(dir / "e.exc", text);
  DiphoneExceptions table;
  ASSERT_TRUE(loadDiphoneExceptions(dir / "e.exc", table));
  EXPECT_EQ(table.size(), kMaxDiphoneExceptions);
  std::string replaced;
  EXPECT_TRUE(findException(table, "w14999", replaced));
  EXPECT_FALSE(findException(table, "w15000", replaced));
}

// The voice's own data, as the build checked it.
const DiphoneText& voiceData() {
  static const DiphoneText voice = [] {
    DiphoneText v;
    const std::string dir = std::string(DIPHONE_TEST_SOURCE_DIR) + "/data/difones/";
    EXPECT_TRUE(loadDiphoneRules(dir + "regras.rgr", v.rules));
    EXPECT_TRUE(loadDiphoneExceptions(dir + "portug.exc", v.exceptions));
    return v;
  }();
  return voice;
}

TEST(DiphoneVoiceText, WordsToPhones) {
  const struct {
    const char* utf8;
    const char* phones;
  } cases[] = {
      {"casa", "[ k/A/ z/a^]"},
      {"café", "[ k/a/ f/E]"},
      {"ação", "[a/ s/A~w]"},
      {"Wagner", "[u/ a/ gi/ n/E^/rr]"},
      {"d'água", "[ d/A/ gw/a^]"},
      {"aqui", "[a/ k/I]"},
      {"cpf", "[ /_c][ /_p][ /_f]"},
      {"CPF", "[ /_c][ /_p][ /_f]"},
      {"w", "[ /_w]"},
      {"rato carro", "[ rr/A/ t/u][ k/A/ rr/u]"},
      {"mar", "[ m/a/rr]"},
      {"Brasil", "[ b/r/a/ z/I/w]"},
      {"filho ninho", "[ f/I/ ly/u][ n/I/ nh/u]"},
      {"tia dia leite", "[ tch/I/ a^][ dj/I/ a^][ l/E^/y/ tch/i]"},
      {"pacto", "[ p/A/ ki/ t/u]"},
      {"quando água", "[ kw/A~/ d/u][A/ gw/a^]"},
      {"gente chave", "[ j/E~/ tch/i][ x/A/ v/i]"},
      {"exame texto", "[e^/ z/A^/ m/i][ t/E^/s/ t/u]"},
      {"pão mãe põe", "[ p/A~w][ m/A~y][ p/O~y]"},
      {"bem também sim", "[ b/e~y][ t/a~/ b/E~y][ s/i~]"},
      {"saída praia rainha", "[ s/a/ I/ d/a^][ p/r/A/y/ a^][ rr/a/ I/ nh/a^]"},
      {"ela elas", "[E/ l/a^][E/ l/a^/s]"},  // from the exceptions, plural too
      {"táxi", "[ t/A/ ks/i]"},
      {"órfão", "[O/rr/ f/a~w]"},
      {"Bom dia, tudo bem.", "[ b/o~][ dj/I/ a^][ /_,][ t/U/ d/u][ b/e~y][ /_.]"},
  };
  for (const auto& c : cases) {
    std::string unhandled;
    EXPECT_EQ(textToPhones(voiceData(), cp(c.utf8), &unhandled), c.phones) << c.utf8;
    EXPECT_EQ(unhandled, "") << c.utf8;
  }
  // A character without a decomposition is spelled as the code 0.
  EXPECT_EQ(textToPhones(voiceData(), cp("Ð")), std::string("[ /_\0]", 6));
  EXPECT_EQ(textToPhones(voiceData(), "   "), "");
}

}  // namespace
}  // namespace speech
