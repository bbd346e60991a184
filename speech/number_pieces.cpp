#include "speech/number_pieces.h"

#include <algorithm>
#include <ctime>
#include <vector>

#include "platform/base/paths.h"
#include "platform/base/wave_header.h"
#include "platform/transcript.h"
#include "speech/diphone_synth.h"
#include "speech/speech_activity.h"
#include "speech/speech_service.h"
#include "speech/wave_player.h"
#include "tts/numbers.h"

namespace speech {
namespace {

constexpr size_t kJoinBuffer = 30000;

const char* const kWeekdays[] = {"Domingo", "Segunda", "Terca", "Quarta", "Quinta", "Sexta", "Sabado"};
const char* const kMonths[] = {"Janeiro", "Fevereiro", "Marco", "Abril",    "Maio",     "Junho",
                               "Julho",   "Agosto",    "Setembro", "Outubro", "Novembro", "Dezembro"};

// Plays 8-bit mono 11025 Hz samples as one image and waits.
void playJoined(const std::vector<uint8_t>& samples) {
  if (samples.empty()) return;
  std::vector<uint8_t> image(platform::kWaveHeaderSize + samples.size());
  platform::writeWaveHeader(image.data(), 1, 11025, 8, static_cast<uint32_t>(samples.size()));
  std::copy(samples.begin(), samples.end(), image.begin() + platform::kWaveHeaderSize);
  playImageAndWait(image);
}

// A piece of the letter-file directory, played to its end.
void playLetterPiece(std::string_view name) {
  waitForSynth();
  playWaveFile(letterFileDir() + std::string(name) + ".wav");
}

}  // namespace

std::string numberWordsRecorded(uint32_t n) {
  return tts::cardinalWords(n, tts::Gender::masculine, tts::NumberSpelling::recordedPieces);
}

std::string pieceNamesOf(std::string_view words, bool feminine) {
  std::vector<std::string> names;
  size_t pos = 0;
  while (pos < words.size()) {
    const size_t space = words.find(' ', pos);
    std::string word(words.substr(pos, space == std::string_view::npos ? std::string_view::npos : space - pos));
    pos = space == std::string_view::npos ? words.size() : space + 1;
    if (word.empty()) continue;
    for (char& c : word) {
      if (c == '\xE3') c = 'a';
      else if (c == '\xF5') c = 'o';
    }
    if (word == "dezessete") word = "dezeset";
    names.push_back(("_" + word).substr(0, 8));
  }
  if (feminine && !names.empty()) {
    if (names.back() == "_um") names.back() = "_uma";
    else if (names.back() == "_dois") names.back() = "_duas";
  }
  std::string joined;
  for (const std::string& n : names) joined += (joined.empty() ? "" : " ") + n;
  return joined;
}

void speakNumberWords(std::string_view words, bool feminine) {
  const std::string names = pieceNamesOf(words, feminine);
  std::vector<uint8_t> held;
  for (size_t pos = 0; pos < names.size();) {
    const size_t space = std::min(names.find(' ', pos), names.size());
    const std::string piece = letterFileDir() + names.substr(pos, space - pos) + ".wav";
    pos = space + 1;
    std::string bytes;
    if (!platform::readWholeFile(platform::hostPath(piece), bytes) || bytes.size() <= platform::kWaveHeaderSize) {
      continue;
    }
    platform::transcriptEvent("PLAY", piece);
    const size_t length = bytes.size() - platform::kWaveHeaderSize;
    if (held.size() + length > kJoinBuffer) {
      playJoined(held);
      held.clear();
    }
    // A piece longer than the buffer is played on its own rather than cut.
    held.insert(held.end(), bytes.begin() + platform::kWaveHeaderSize, bytes.end());
  }
  playJoined(held);
}

void speakTime(int hours, int minutes) {
  if (hours < 0 || minutes < 0) return;  // no words for a negative count
  const bool everything = sayEverything();
  speakNumberWords(numberWordsRecorded(static_cast<uint32_t>(hours)), true);
  if (!everything && minutes != 0) playLetterPiece("_EHORA");
  else playLetterPiece(hours < 2 ? "_hora" : "_horas");
  if (minutes == 0) return;
  speakNumberWords(numberWordsRecorded(static_cast<uint32_t>(minutes)), false);
  if (everything) playLetterPiece(minutes < 2 ? "_minuto" : "_minutos");
}

void speakDate(int day, int month, int year) {
  std::tm t{};
  t.tm_mday = day;
  t.tm_mon = month - 1;
  t.tm_year = year - 1900;
  t.tm_hour = 12;
  std::mktime(&t);
  playLetterPiece(std::string("_") + kWeekdays[t.tm_wday % 7]);
  if (day == 1) playLetterPiece("_primeir");
  else speakNumberWords(numberWordsRecorded(static_cast<uint32_t>(day)), false);
  playLetterPiece("_de");
  if (month >= 1 && month <= 12) playLetterPiece(("_" + std::string(kMonths[month - 1])).substr(0, 8));
  playLetterPiece("_de");
  speakNumberWords(numberWordsRecorded(static_cast<uint32_t>(year)), false);
}

namespace {
std::tm localNow() {
  const std::time_t now = std::time(nullptr);
  std::tm t{};
  localtime_r(&now, &t);
  return t;
}
}  // namespace

void speakCurrentTime() {
  const std::tm t = localNow();
  speakTime(t.tm_hour, t.tm_min);
}

void speakCurrentDate() {
  const std::tm t = localNow();
  speakDate(t.tm_mday, t.tm_mon + 1, t.tm_year + 1900);
}

}  // namespace speech
