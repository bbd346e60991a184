// The voice data as staged by the build, through the whole text path.
#include <gtest/gtest.h>

#include <fstream>
#include <random>
#include <sstream>

#include "platform/base/codepage.h"
#include "test_files.h"
#include "tts/chars.h"
#include "tts/phoneme_lines.h"
#include "tts/phoneme_list.h"
#include "tts/stress.h"

namespace {

using tts_test::cp;
using tts_test::phonemesOf;
using tts_test::stagedVoice;
using tts_test::utf8;

const tts::PhonemeList& phonemeList() {
  static const tts::PhonemeList list = [] {
    tts::PhonemeList l;
    EXPECT_TRUE(tts::loadPhonemeList(std::string(tts::kDefaultDataDir) + "portug.fon", l));
    return l;
  }();
  return list;
}

bool isPause(std::string_view line) {
  return line == "__" || (line.size() == 2 && line[0] == '_');
}

// Every line is a marker, a listed phoneme, a pause or a word end.
void expectWellFormed(const tts::PhonemeLines& lines, std::string_view context) {
  for (const std::string& line : lines) {
    if (line.empty() || line[0] == ';' || isPause(line)) continue;
    EXPECT_TRUE(tts::isListedPhoneme(phonemeList(), tts::phonemeName(line)))
        << "\"" << utf8(line) << "\" from " << utf8(context.substr(0, 80));
  }
}

// What the normalised text may still hold: letters, hyphens inside words,
// and the punctuation the later stages read.
void expectOnlyWordsAndKeptPunctuation(std::string_view normalised) {
  for (const char c : normalised) {
    const unsigned char u = static_cast<unsigned char>(c);
    EXPECT_TRUE(tts::isWordLetter(u) || tts::isKeptPunctuation(u) || c == '-')
        << "character " << int(u) << " left in the normalised text";
  }
}

TEST(VoiceData, WordsBecomeStressedPhonemes) {
  const struct {
    const char* word;
    const char* phonemes;
  } cases[] = {
      {"casa", "k >a z a2"},            // #(S)# and (A)\%
      {"casas", "k >a z a2 s2"},        // (S)%
      {"mesmo", "m >e z m u"},          // (S)& and (O)\%
      {"alto", ">a w t u"},             // (L)*
      {"sal", "s >a w"},                // (L)%
      {"cedo", "s >e d u"},             // (C)+
      {"você", "v o s >e"},             // (C)Ê
      {"canto", "k >an t u"},           // (AN)[
      {"campo", "k >an p u"},           // (AM)[
      {"falam", "f >a l an wn"},        // (AM)%
      {"homem", ">o m en yn"},          // silent H, (EM)%
      {"parabéns", "p a r a b >eh n s2"},
      {"rato", "rr >a t u"},            // %(R)
      {"honra", ">on rr a2"},           // |(R)
      {"carro", "k >a rr u"},
      {"tarde", "t >a r2 dj i"},        // (R)[ and (D)E\%
      {"caro", "k >a r u"},
      {"pai", "p >a y"},                // ](I)\%
      {"praia", "p r >a y a2"},         // exception PRÁIA, ](I)#
      {"caixa", "k >a y x a2"},         // ](I)X and _(X) after a vowel
      {"xícara", "x >i k a r a2"},      // _(X) at the start
      {"exame", "e z >a m i"},          // %(EX)#
      {"exceção", "e s e s >an wn"},    // (XC)+
      {"tórax", "t >oh r a k s"},       // (X)%
      {"leite", "l >e y tx i"},         // (EI), (T)E\%
      {"dia", "dj >i a2"},              // (D)I
      {"gente", "j >en tx i"},          // (G)+
      {"guerra", "g >eh rr a2"},        // exception GUÉRRA, (GU)+
      {"quando", "k w >an d u"},        // (QU)
      {"quem", "k >en yn"},             // (QU)+
      {"cinquenta", "s in k w >en t a2"},  // exception CINQÜENTA
      {"chave", "x >a v i"},
      {"filho", "f >i lh u"},
      {"ninho", "n >i nh u"},
      {"mão", "m >an wn"},
      {"mãe", "m >an yn"},
      {"céu", "s >eh w"},               // É(U)\%
      {"mau", "m >a w"},                // ](U)\%
      {"nascer", "n a s >e r2"},        // (SC)+
      {"meio", "m >e y u"},             // exception MÊIO, Ê(I)
      {"muito", "m >u y t u"},          // exception MÚITO, Ú(I)
      {"alguns", "a w g >un s2"},       // (UN)S%
      {"órgão", ">oh r2 g an wn"},
      {"não", "n an wn"},
      {"de", "dj i"},
  };
  for (const auto& c : cases) EXPECT_EQ(utf8(phonemesOf(cp(c.word))), c.phonemes) << c.word;
}

TEST(VoiceData, JoinsWordsByLiaison) {
  EXPECT_EQ(phonemesOf("os amigos"), "u z a m >i g u s2");
  EXPECT_EQ(phonemesOf("mar azul"), "m >a r a z >u w");
  EXPECT_EQ(phonemesOf("mar, azul"), "m >a r2 a z >u w");
  EXPECT_EQ(phonemesOf("os dois"), "u s2 d >o y s2");
}

std::string readProse() {
  std::ifstream in(TTS_TEST_DATA "/prosa.txt", std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

TEST(VoiceData, ProseRoundTripLeavesNothingUnhandled) {
  const std::string prose = readProse();
  ASSERT_GT(prose.size(), 5000u);
  const tts::FrontEndResult result = tts::textToPhonemeLines(prose, stagedVoice());
  expectOnlyWordsAndKeptPunctuation(result.normalised);
  EXPECT_EQ(result.unhandled, "");
  expectWellFormed(result.lines, prose);
  // Every word of the prose reached the phoneme list with its stress.
  size_t words = 0, stressed = 0;
  for (const std::string& line : result.lines) {
    words += line.starts_with(';') && line.size() > 5 && tts::isWordLetter(line[5]);
    stressed += line.starts_with('>');
  }
  EXPECT_GT(words, 1000u);
  EXPECT_GT(stressed, words / 2);
  EXPECT_EQ(result.lines.back(), "__");
}

TEST(VoiceData, EveryDictionaryWordIsReadWithItsStress) {
  std::ifstream in("/usr/share/dict/brazilian");
  if (!in) GTEST_SKIP() << "/usr/share/dict/brazilian is missing (package wbrazilian)";
  std::string line;
  size_t count = 0, failures = 0;
  while (std::getline(in, line) && failures < 20) {
    const std::string word = platform::utf8ToCp1252(line);
    if (word.empty()) continue;
    ++count;
    const tts::FrontEndResult result = tts::textToPhonemeLines(word, stagedVoice());
    if (!result.unhandled.empty()) {
      ADD_FAILURE() << line << ": letters without a rule: " << utf8(result.unhandled);
      ++failures;
    }
    expectWellFormed(result.lines, word);
    // A plain word has one stress mark, unless it is a short unstressed one.
    const bool plain = std::all_of(word.begin(), word.end(), [](char c) {
      return tts::isWordLetter(static_cast<unsigned char>(c));
    });
    if (!plain) continue;
    const std::string spelled =
        tts::applyException(stagedVoice().exceptions, tts::upperLatin1(word));
    if (tts::isUnstressedWord(spelled) || tts::stressPosition(spelled) == 0) continue;
    const size_t marks = std::count_if(result.lines.begin(), result.lines.end(),
                                       [](const std::string& l) { return l.starts_with('>'); });
    if (marks != 1) {
      ADD_FAILURE() << line << ": " << marks << " stress marks";
      ++failures;
    }
  }
  EXPECT_GT(count, 100000u);
}

// Any bytes, in any amount, give defined output of bounded size.
void expectBounded(std::string_view text) {
  const tts::FrontEndResult result = tts::textToPhonemeLines(text, stagedVoice());
  EXPECT_LE(result.normalised.size(), 32 * text.size() + 64);
  EXPECT_LE(result.lines.size(), 16 * result.normalised.size() + 64);
  EXPECT_EQ(result.unhandled, "");
  expectOnlyWordsAndKeptPunctuation(result.normalised);
  expectWellFormed(result.lines, text);
}

TEST(VoiceData, BadInputGivesDefinedOutput) {
  std::string everyByte;
  for (int c = 0; c < 256; ++c) everyByte += static_cast<char>(c);
  expectBounded(everyByte);
  expectBounded(std::string(everyByte.rbegin(), everyByte.rend()));
  expectBounded("");
  const std::string runs[] = {
      std::string(20000, '9'),  std::string(20000, '0'),  std::string(20000, '#'),
      std::string(20000, '-'),  std::string(20000, '.'),  std::string(20000, ','),
      std::string(20000, 'S'),  std::string(20000, 'a'),  std::string(20000, '\xBA'),
      std::string(20000, ' '),
  };
  for (const std::string& run : runs) expectBounded(run);
  std::string mixed;
  for (int i = 0; i < 5000; ++i) mixed += "1-";
  for (int i = 0; i < 5000; ++i) mixed += "1.000";
  for (int i = 0; i < 5000; ++i) mixed += "3os.";
  expectBounded(mixed);
  expectBounded("999999999999999999999999999999999999999999999999.999.999,999");
}

TEST(VoiceData, RandomTextGivesDefinedOutput) {
  std::mt19937 random(20240605);
  const std::string nasty = cp("0123456789.,-ºª oOaAsS#\t\nSr.CPF ãéÇ?!");
  for (int round = 0; round < 3000; ++round) {
    std::string text(random() % 120, ' ');
    const bool anyByte = round % 2 == 0;
    for (char& c : text)
      c = anyByte ? static_cast<char>(random() % 256) : nasty[random() % nasty.size()];
    expectBounded(text);
    if (HasFailure()) {
      ADD_FAILURE() << "round " << round;
      break;
    }
  }
}

}  // namespace
