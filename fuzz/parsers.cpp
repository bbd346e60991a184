// The file and text parsers, each fed the fuzzer's bytes as the file or text
// it reads, and then used the way the runtime uses what it read.
#include <cstdlib>
#include <span>
#include <string>
#include <vector>

#include "console/picture.h"
#include "fuzz/entries.h"
#include "fuzz/scratch_file.h"
#include "platform/base/profile.h"
#include "speech/diphone/diphone_db.h"
#include "speech/diphone/diphone_exceptions.h"
#include "speech/diphone/diphone_rules.h"
#include "speech/diphone/text_to_phones.h"
#include "speech/riff.h"
#include "tts/diphone_units.h"
#include "tts/front_end.h"
#include "tts/normalise.h"
#include "tts/phoneme_list.h"
#include "tts/psola.h"
#include "tts/time_and_pitch.h"

namespace fuzz {
namespace {

// A fault the parser's own promise rules out: stop as a crash would, so that
// the fuzzer keeps the input.
void require(bool promise) {
  if (!promise) std::abort();
}

std::span<const uint8_t> asBytes(std::string_view text) {
  return {reinterpret_cast<const uint8_t*>(text.data()), text.size()};
}

const tts::FrontEnd& realFrontEnd() {
  static const tts::FrontEnd frontEnd = [] {
    tts::FrontEnd loaded;
    require(tts::loadFrontEnd(ESCUTA_SOURCE_DIR "/data/tts/", tts::kDefaultBaseName, loaded));
    return loaded;
  }();
  return frontEnd;
}

const tts::DiphoneList& realDiphoneList() {
  static const tts::DiphoneList diphones = [] {
    tts::DiphoneList loaded;
    require(tts::loadDiphoneList(ESCUTA_SOURCE_DIR "/data/tts/portug.dfn", loaded));
    return loaded;
  }();
  return diphones;
}

const speech::DiphoneText& realDiphoneText() {
  static const speech::DiphoneText text = [] {
    speech::DiphoneText loaded;
    require(speech::loadDiphoneRules(ESCUTA_SOURCE_DIR "/data/difones/regras.rgr", loaded.rules) &&
            speech::loadDiphoneExceptions(ESCUTA_SOURCE_DIR "/data/difones/portug.exc", loaded.exceptions));
    return loaded;
  }();
  return text;
}

constexpr std::string_view kSampleText =
    "O Sr. Jo\xE3o pagou R$ 1.250,75 em 12/03/2024, \xE0s 14h30; ligou p/ 3344-5566? Sim!";

}  // namespace

void profile(std::string_view bytes) {
  static const std::pair<std::string_view, std::string_view> kKeys[] = {
      {"ROTEIRO", "DIRROTEIRO"}, {"Fala", "velocidade"}, {"a", "b"}, {"", ""}};
  for (const auto& [section, key] : kKeys) {
    platform::profileValue(bytes, section, key, "padr\xE3o", 256);
    const std::string written = platform::profileWithValue(bytes, section, key, "valor novo");
    if (!section.empty() && !key.empty())
      require(platform::profileValue(written, section, key, "", 256) == "valor novo");
  }
}

void wave(std::string_view bytes) {
  if (const auto image = speech::parseWaveImage(asBytes(bytes))) {
    require(image->data.data() >= asBytes(bytes).data());
    require(image->data.data() + image->data.size() <= asBytes(bytes).data() + bytes.size());
  }
  size_t at = 0;
  speech::ByteSource source{
      [&](uint8_t* to, size_t n) {
        const size_t got = std::min(n, bytes.size() - at);
        std::copy_n(bytes.data() + at, got, to);
        at += got;
        return got;
      },
      [&](uint32_t n) {
        if (n > bytes.size() - at) return false;
        at += n;
        return true;
      }};
  speech::readWaveLayout(source);
}

// A picture decoded holds exactly its pixels, within the sizes accepted.
void checkPicture(bool decoded, const console::Bitmap& picture) {
  if (!decoded) return;
  require(console::pictureSizeAcceptable(static_cast<uint64_t>(picture.width), static_cast<uint64_t>(picture.height)));
  require(picture.pixels.size() == static_cast<size_t>(picture.width) * static_cast<size_t>(picture.height));
}

void bmp(std::string_view bytes) {
  console::Bitmap picture;
  checkPicture(console::decodeBmp(bytes, picture), picture);
}

void jpeg(std::string_view bytes) {
  console::Bitmap picture;
  checkPicture(console::decodeJpeg(bytes, picture), picture);
}

void png(std::string_view bytes) {
  console::Bitmap picture;
  checkPicture(console::decodePng(bytes, picture), picture);
}

void diphoneIndex(std::string_view bytes) {
  static const std::string data = scratchFile("difones.dif", std::string(4000, '\x80'));
  speech::DiphoneDb db;
  if (!speech::openDiphoneDb(scratchFile("difones.ind", bytes), data, db)) return;
  uint8_t stretch[64];
  for (const speech::DiphoneUnit& unit : db.units) {
    require(speech::findUnit(db, unit.name) != nullptr);
    require(speech::readStretch(db, unit, sizeof stretch, stretch) <= unit.length);
  }
}

void diphoneRules(std::string_view bytes) {
  const std::string file = scratchFile("regras.rgr", bytes);
  speech::DiphoneRules rules;
  if (speech::loadDiphoneRules(file, rules)) {
    std::string unhandled;
    for (std::string_view word : {"casa", "ca'rro", "xi'cara", "pa~o", "", "qu"})
      speech::applyDiphoneRules(rules, word, &unhandled);
  }
  speech::DiphoneExceptions exceptions;
  if (speech::loadDiphoneExceptions(file, exceptions)) {
    std::string replaced;
    for (std::string_view word : {"casas", "cafe'", "m", "", "sms"})
      speech::findException(exceptions, word, replaced);
  }
}

// The first byte picks the data file the rest replaces; the voice then reads
// a sample text with it.
void ttsData(std::string_view bytes) {
  if (bytes.empty()) return;
  const char kind = bytes[0];
  bytes.remove_prefix(1);
  tts::FrontEnd frontEnd = realFrontEnd();
  switch (kind % 6) {
    case 0: frontEnd.rules = {}; tts::loadRules(scratchFile("portug.nrl", bytes), frontEnd.rules); break;
    case 1: frontEnd.exceptions = {}; tts::loadExceptions(scratchFile("portug.exc", bytes), frontEnd.exceptions); break;
    case 2: frontEnd.abbreviations = {}; tts::loadAbbreviations(scratchFile("portug.abr", bytes), frontEnd.abbreviations); break;
    case 3: frontEnd.prosody = {}; tts::loadProsody(scratchFile("portug.pro", bytes), frontEnd.prosody); break;
    case 4: {
      tts::DiphoneList diphones;
      tts::loadDiphoneList(scratchFile("portug.dfn", bytes), diphones);
      const tts::FrontEndResult result = tts::textToPhonemeLines(kSampleText, frontEnd);
      tts::timeAndPitch(result.lines, frontEnd.prosody, diphones, 1.0, 0.6);
      return;
    }
    default: {
      tts::PhonemeList list;
      tts::loadPhonemeList(scratchFile("portug.fon", bytes), list);
      for (std::string_view name : {"a", "A", "@", "_", "2x", ""}) tts::isListedPhoneme(list, name);
      return;
    }
  }
  tts::textToPhonemeLines(kSampleText, frontEnd);
}

// Our renderer's units: even first byte, the rest is a unit file, said with
// a few lines; odd, the rest is phoneme lines, said with two small units.
void ttsUnits(std::string_view bytes) {
  if (bytes.empty()) return;
  const bool unitFile = bytes[0] % 2 == 0;
  bytes.remove_prefix(1);
  tts::DiphoneUnits units{16000, {{"A-A", 100, {0, 90, 150}, std::vector<int16_t>(200, 1000)},
                                  {"_-A", 0, {}, std::vector<int16_t>(1, 0)}}};
  tts::PhonemeLines lines = {"_ 50", "a 80 50 200", "s 60", "a2 70 0 150 100 90", "_ 50 50 0"};
  if (unitFile) {
    if (!tts::decodeDiphoneUnits(bytes, units)) return;
  } else {
    lines.clear();
    for (size_t start = 0; start <= bytes.size();) {
      const size_t end = std::min(bytes.find('\n', start), bytes.size());
      lines.emplace_back(bytes.substr(start, end - start));
      start = end + 1;
    }
  }
  const std::vector<tts::Phone> phones = tts::readPhones(lines);
  double ms = 0;
  for (const tts::Phone& p : phones) ms += p.ms;
  if (ms > 10000 || phones.size() > 200) return;  // long sound, not a new path
  tts::PsolaRenderer renderer(phones, units);
  std::vector<int16_t> out;
  while (!renderer.done()) renderer.renderNext(out);
}

// Text through both voices' front ends.
void normalise(std::string_view bytes) {
  tts::normaliseText(bytes, realFrontEnd().abbreviations);
  const tts::FrontEndResult result = tts::textToPhonemeLines(bytes, realFrontEnd());
  tts::timeAndPitch(result.lines, realFrontEnd().prosody, realDiphoneList(), 1.0, 0.6);
  speech::textToPhones(realDiphoneText(), bytes);
}

}  // namespace fuzz
