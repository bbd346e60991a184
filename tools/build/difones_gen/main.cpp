// difones_gen DATA_DIR DIFONES_DIR LETRAS_DIR [WORD_LIST...] [--check]
// Makes the recorded-speech voice's data at build time. First it checks that
// the rules ("regras.rgr", "portug.exc" in DATA_DIR) and the unit list
// ("unidades.txt") fit: every word of the word lists (UTF-8 or Windows-1252,
// one a line) must give only units the list holds and letters "letras.txt"
// names. Then it cuts each unit from a carrier phrase eSpeak NG says into
// DIFONES2.IND and .DIF in DIFONES_DIR, and each letter and piece the same
// way into "_" + code + ".wav" or its name in LETRAS_DIR. Exits non-zero, saying why, when anything does not fit.
#include <algorithm>
#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "carrier.h"
#include "coverage.h"
#include "platform/base/codepage.h"
#include "platform/base/paths.h"
#include "platform/base/wave_header.h"
#include "speech/diphone/diphone_db.h"
#include "speech/diphone/text_lines.h"
#include "tools/build/espeak_said/said.h"
#include "tools/build/espeak_said/sound_shaping.h"
#include "unit_inventory.h"

namespace {

using namespace difones;
using espeak_said::toUnsigned8;

constexpr int kWordsPerMinute = 175;  // eSpeak NG's own pace
constexpr float kTargetLoudness = 0.165f;

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

// The carrier said at running pace on one pitch, at the voice's rate, as
// loud as every other carrier.
CarrierSound carrierSound(const std::string& utf8, int rate) {
  espeak_said::Said said = espeak_said::sayAt(utf8, rate, speech::kDiphoneRate, kTargetLoudness);
  std::vector<uint8_t> samples = toUnsigned8(said.sound, 1);
  return CarrierSound{std::move(said.sound), std::move(samples), std::move(said.events)};
}

// The cut in 8 bits, as loud as it was in the carrier: a consonant alone
// keeps the level it has before a vowel, as in every other unit.
std::vector<uint8_t> cutOut(const CarrierSound& sound, const std::optional<Cut>& cut) {
  if (!cut) return {};
  return toUnsigned8({sound.sound.begin() + static_cast<long>(cut->begin),
                      sound.sound.begin() + static_cast<long>(cut->end)}, 1);
}

bool writeFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  return platform::replaceFileAtomically(path, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

bool writeDatabase(const std::vector<difones::Unit>& units, int rate, const std::string& dir) {
  std::vector<uint8_t> data;
  std::vector<speech::DiphoneUnit> index;
  for (const difones::Unit& u : units) {
    const CarrierSound sound = carrierSound(unitCarrier(u.phonemes), rate);
    std::vector<uint8_t> bytes = cutOut(sound, unitCut(sound, u.phonemes));
    if (bytes.empty()) {
      std::fprintf(stderr, "difones_gen: a unidade %s n\xC3\xA3o se achou em %s\n", u.name.c_str(),
                   unitCarrier(u.phonemes).c_str());
      return false;
    }
    bytes.resize(std::min<size_t>(bytes.size(), UINT16_MAX));
    index.push_back({u.name.substr(0, speech::kMaxUnitName), static_cast<uint16_t>(bytes.size()),
                     static_cast<uint32_t>(data.size())});
    data.insert(data.end(), bytes.begin(), bytes.end());
  }
  const std::string ind = speech::encodeIndex(index);
  return platform::makeDirectories(dir) && writeFile(dir + "/DIFONES2.DIF", data) &&
         writeFile(dir + "/DIFONES2.IND", std::vector<uint8_t>(ind.begin(), ind.end()));
}

bool writeLetters(const std::vector<difones::Letter>& letters, int rate, const std::string& dir) {
  if (!platform::makeDirectories(dir)) return false;
  for (const difones::Letter& letter : letters) {
    const std::string text = platform::cp1252ToUtf8(letter.text);
    const CarrierSound sound = carrierSound(pieceCarrier(text), rate);
    const std::vector<uint8_t> samples = cutOut(sound, pieceCut(sound));
    if (samples.empty()) {
      std::fprintf(stderr, "difones_gen: a pe\xC3\xA7" "a %s n\xC3\xA3o se achou em \"%s\"\n", letter.name.c_str(),
                   pieceCarrier(text).c_str());
      return false;
    }
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

  const int rate = espeak_said::startEspeak();
  if (rate == 0) return fail({"eSpeak NG n\xE3o iniciou com a voz pt-br"});
  espeak_said::setEspeakStyle(kWordsPerMinute, 0);
  const bool ok = writeDatabase(units, rate, args[1]) && writeLetters(letters, rate, args[2]);
  espeak_said::stopEspeak();
  if (!ok) return fail({"n\xE3o consegui gravar os dados da voz"});
  std::printf("difones_gen: %zu unidades e %zu letras gravadas\n", units.size(), letters.size());
  return 0;
}
