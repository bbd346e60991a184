// difones_gen DATA_DIR DIFONES_DIR LETRAS_DIR [WORD_LIST...] [--check]
// Makes the recorded-speech voice's data at build time. First it checks that
// the rules ("regras.rgr", "portug.exc" in DATA_DIR) and the unit list
// ("unidades.txt") fit: every word of the word lists (UTF-8 or Windows-1252,
// one a line) must give only units the list holds and letters "letras.txt"
// names. Then it synthesizes each unit with eSpeak NG into DIFONES2.IND and
// .DIF in DIFONES_DIR, and each letter into "_" + code + ".wav" in
// LETRAS_DIR. Exits non-zero, saying why, when anything does not fit.
#include <algorithm>
#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "coverage.h"
#include "espeak_voice.h"
#include "platform/base/codepage.h"
#include "platform/base/paths.h"
#include "platform/base/wave_header.h"
#include "sound_shaping.h"
#include "speech/diphone/diphone_db.h"
#include "speech/diphone/text_lines.h"
#include "unit_inventory.h"

namespace {

constexpr int kUnitWordsPerMinute = 170;
constexpr float kTargetLoudness = 0.28f;

int fail(const std::vector<std::string>& problems) {
  for (const std::string& p : problems) std::fprintf(stderr, "difones_gen: %s\n", platform::cp1252ToUtf8(p).c_str());
  return 1;
}

bool loadVoice(const std::string& dataDir, speech::DiphoneText& voice, std::vector<std::string>& problems) {
  const bool rules = speech::loadDiphoneRules(dataDir + "/regras.rgr", voice.rules, &problems);
  speech::loadDiphoneExceptions(dataDir + "/portug.exc", voice.exceptions, &problems);
  return rules && problems.empty();
}

std::vector<std::string> readWords(const std::vector<std::string>& paths, const speech::DiphoneExceptions& exceptions) {
  std::vector<std::string> words;
  for (const std::string& path : paths) {
    std::vector<std::string> lines;
    if (!speech::readTextLines(path, lines)) {
      std::fprintf(stderr, "difones_gen: lista de palavras ausente: %s\n", path.c_str());
      continue;
    }
    for (const std::string& line : lines)
      if (!line.empty()) words.push_back(platform::isMultibyteUtf8(line) ? platform::utf8ToCp1252(line) : line);
  }
  for (const speech::DiphoneException& e : exceptions) words.push_back(e.word);
  return words;
}

bool reportCoverage(const difones::Coverage& c) {
  auto list = [](const char* what, const auto& gaps) {
    for (size_t i = 0; i < gaps.size() && i < 60; ++i)
      std::fprintf(stderr, "difones_gen: %s %s: %zu palavras, como \"%s\"\n", what,
                   platform::cp1252ToUtf8(gaps[i].first).c_str(), gaps[i].second.count,
                   platform::cp1252ToUtf8(gaps[i].second.example).c_str());
    if (gaps.size() > 60) std::fprintf(stderr, "difones_gen: ... e mais %zu\n", gaps.size() - 60);
  };
  list("sem unidade:", c.missing);
  list("letra sem regra:", c.unhandled);
  std::printf("difones_gen: %zu palavras conferidas, %zu unidades faltando, %zu letras sem regra\n", c.words,
              c.missing.size(), c.unhandled.size());
  return c.missing.empty() && c.unhandled.empty();
}

std::vector<float> spoken(const std::string& utf8, int rate) {
  return difones::trimmed(difones::toVoiceRate(difones::synthesize(utf8), rate));
}

bool writeFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  return platform::replaceFileAtomically(path, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

bool writeDatabase(const std::vector<difones::Unit>& units, int rate, const std::string& dir) {
  difones::setEspeakStyle(kUnitWordsPerMinute, 0);
  std::vector<std::vector<float>> sounds;
  std::vector<float> gains;
  for (const difones::Unit& u : units) {
    sounds.push_back(spoken("[[" + u.phonemes + "]]", rate));
    if (sounds.back().empty()) {
      std::fprintf(stderr, "difones_gen: eSpeak NG n\xC3\xA3o deu som para %s [[%s]]\n", u.name.c_str(), u.phonemes.c_str());
      return false;
    }
    if (u.voiced) gains.push_back(kTargetLoudness / std::max(difones::loudness(sounds.back()), 1e-4f));
  }
  std::nth_element(gains.begin(), gains.begin() + gains.size() / 2, gains.end());
  const float usualGain = gains.empty() ? 1.0f : gains[gains.size() / 2];
  std::vector<uint8_t> data;
  std::vector<speech::DiphoneUnit> index;
  for (size_t i = 0; i < units.size(); ++i) {
    // An onset alone is mostly a weak burst or hiss: raised to half the
    // vowels' loudness, so that a cluster's first consonant is heard.
    const float own = kTargetLoudness / std::max(difones::loudness(sounds[i]), 1e-4f);
    const float gain = units[i].voiced ? own : std::max(usualGain, own / 2);
    std::vector<uint8_t> bytes = difones::toUnsigned8(sounds[i], gain);
    bytes.resize(std::min<size_t>(bytes.size(), UINT16_MAX));
    index.push_back({units[i].name.substr(0, speech::kMaxUnitName), static_cast<uint16_t>(bytes.size()),
                     static_cast<uint32_t>(data.size())});
    data.insert(data.end(), bytes.begin(), bytes.end());
  }
  const std::string ind = speech::encodeIndex(index);
  return platform::makeDirectories(dir) && writeFile(dir + "/DIFONES2.DIF", data) &&
         writeFile(dir + "/DIFONES2.IND", std::vector<uint8_t>(ind.begin(), ind.end()));
}

bool writeLetters(const std::vector<difones::Letter>& letters, int rate, const std::string& dir) {
  difones::setEspeakStyle(kUnitWordsPerMinute, 50);
  if (!platform::makeDirectories(dir)) return false;
  for (const difones::Letter& letter : letters) {
    const std::vector<float> sound = spoken(platform::cp1252ToUtf8(letter.text), rate);
    const std::vector<uint8_t> samples =
        difones::toUnsigned8(sound, kTargetLoudness / std::max(difones::loudness(sound), 1e-4f));
    std::vector<uint8_t> wave(platform::kWaveHeaderSize);
    platform::writeWaveHeader(wave.data(), 1, speech::kDiphoneRate, 8, static_cast<uint32_t>(samples.size()));
    wave.insert(wave.end(), samples.begin(), samples.end());
    if (!writeFile(dir + "/" + letter.name + ".wav", wave)) return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  const bool checkOnly = std::erase(args, "--check") > 0;
  if (args.size() < 3) {
    std::fprintf(stderr, "uso: difones_gen DADOS DIR_DIFONES DIR_LETRAS [LISTA_DE_PALAVRAS...] [--check]\n");
    return 2;
  }
  const std::string& dataDir = args[0];
  std::vector<std::string> problems;
  speech::DiphoneText voice;
  std::vector<difones::Unit> units;
  std::vector<difones::Letter> letters;
  if (!loadVoice(dataDir, voice, problems) | !difones::readUnits(dataDir + "/unidades.txt", units, problems) |
      !difones::readLetters(dataDir + "/letras.txt", letters, problems))
    return fail(problems);

  std::set<std::string> unitNames, letterNames;
  for (const difones::Unit& u : units) unitNames.insert(u.name);
  for (const difones::Letter& l : letters) letterNames.insert(l.name);
  const std::vector<std::string> words = readWords({args.begin() + 3, args.end()}, voice.exceptions);
  if (!reportCoverage(difones::checkCoverage(voice, words, unitNames, letterNames))) return 1;
  if (checkOnly) return 0;

  const int rate = difones::startEspeak();
  if (rate == 0) return fail({"eSpeak NG n\xE3o iniciou com a voz pt-br"});
  const bool ok = writeDatabase(units, rate, args[1]) && writeLetters(letters, rate, args[2]);
  difones::stopEspeak();
  if (!ok) return fail({"n\xE3o consegui gravar os dados da voz"});
  std::printf("difones_gen: %zu unidades e %zu letras gravadas\n", units.size(), letters.size());
  return 0;
}
