#include "speech/tts_engine.h"

#include <cctype>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "console/keyboard.h"
#include "console/screen.h"
#include "platform/base/paths.h"
#include "platform/base/wave_header.h"
#include "platform/platform.h"
#include "settings/settings.h"
#include "speech/mbrola.h"
#include "speech/speech_service.h"
#include "speech/wave_player.h"
#include "tts/diphone_list.h"
#include "tts/diphone_units.h"
#include "tts/front_end.h"
#include "tts/psola.h"
#include "tts/time_and_pitch.h"

namespace speech {
namespace {

constexpr int kReadSamples = 64000;
constexpr size_t kPieceBytes = 64000;  // about 2 s: speech starts before the rest is made
constexpr size_t kShortestPiece = 256;
constexpr size_t kFirstOwnPiece = 2048;  // 64 ms: our renderer's first sound, played at once
constexpr int kCloseWaitMs = 500;
constexpr size_t kHeader = platform::kWaveHeaderSize;

struct Engine {
  bool open = false;
  bool ownVoice = false;  // no MBROLA: our renderer speaks from our units
  tts::DiphoneUnits units;
  std::string database;
  tts::FrontEnd frontEnd;
  tts::DiphoneList diphones;
  double pitchFactor = 1.0, durationFactor = 1.0;
  std::vector<int16_t> readBuffer = std::vector<int16_t>(kReadSamples);
  std::vector<uint8_t> piece;  // the output buffer, header in front
};

Engine g;

// A message box with one button: the message is shown and said, and stays
// until Enter (or Esc) answers it.
void showMessageBox(const std::string& message) {
  sayLine(message);
  for (;;) {
    const uint8_t key = console::readKey();
    if (key == 13 || key == 27) return;
  }
}

void playPiece() {
  const size_t data = g.piece.size() - kHeader;
  const int rate = g.ownVoice ? g.units.rate : kMbrolaRate;
  platform::writeWaveHeader(g.piece.data(), 1, rate, 16, static_cast<uint32_t>(data));
  playWaveImage(g.piece);
  g.piece.resize(kHeader);
}

// Samples join the piece being filled; a piece that would outgrow `limit`
// bytes is played first.
void addSamples(const int16_t* samples, size_t count, size_t limit) {
  const size_t bytes = count * 2;
  if (g.piece.size() > kHeader && g.piece.size() - kHeader + bytes >= limit) playPiece();
  const auto* from = reinterpret_cast<const uint8_t*>(samples);
  g.piece.insert(g.piece.end(), from, from + bytes);
}

// Everything MBROLA has ready for the lines sent so far.
void readSamples() {
  for (;;) {
    const int n = read_MBR(g.readBuffer.data(), kReadSamples);
    if (n <= 0) return;
    addSamples(g.readBuffer.data(), static_cast<size_t>(n), kPieceBytes);
  }
}

// Without MBROLA: the first piece goes as soon as it holds a little sound,
// and each piece after may be twice the one before, so the renderer stays
// ahead of the player while the sentence starts at once. The last piece is
// left for playRest; a key stops the rest from being made.
void speakOwn(const tts::PhonemeLines& lines) {
  tts::PsolaRenderer renderer(tts::readPhones(lines), g.units);
  std::vector<int16_t> samples;
  size_t limit = kFirstOwnPiece;
  while (!renderer.done() && !console::keyPressed()) {
    renderer.renderNext(samples);
    if (samples.size() * 2 < limit || renderer.done()) continue;
    addSamples(samples.data(), samples.size(), SIZE_MAX);
    samples.clear();
    playPiece();
    limit = std::min(2 * limit, kPieceBytes);
  }
  addSamples(samples.data(), samples.size(), SIZE_MAX);
}

// Whatever is left in the piece, at least the shortest piece the player takes.
void playRest() {
  if (g.piece.size() == kHeader) return;
  if (g.piece.size() - kHeader < kShortestPiece) g.piece.resize(kHeader + kShortestPiece, 0);
  playPiece();
}

// A program that no longer takes lines is started again on the same database.
void restartMbrola() {
  close_MBR();
  releaseMbrola();
  if (loadMbrola()) init_MBR(g.database.c_str());
}

// Lines to MBROLA; false when it refused one.
bool speakMbrola(const tts::PhonemeLines& lines) {
  reset_MBR();
  setNoError_MBR(-63);
  bool ok = true;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].empty() && i + 1 < lines.size()) continue;
    if (write_MBR((lines[i] + "\r\n").c_str()) < 0) {
      restartMbrola();
      ok = false;
    }
    if (i + 1 == lines.size()) flush_MBR();
    readSamples();
  }
  return ok;
}

// MBROLA needs both its program and the database: without either, our own
// renderer speaks.
bool openMbrola() {
  if (!platform::readableFile(g.database) || !loadMbrola()) return false;
  if (init_MBR(g.database.c_str()) >= 0) return true;
  releaseMbrola();
  return false;
}

// Our own units lie beside the diphone list: the same name, ".uni".
std::string unitsPath(std::string_view diphonesPath) {
  std::string path(diphonesPath);
  const size_t dot = path.find_last_of('.');
  const size_t slash = path.find_last_of("\\/");
  if (dot != std::string::npos && (slash == std::string::npos || dot > slash)) path.resize(dot);
  return path + ".uni";
}

std::string withSeparator(std::string dir) {
  if (!dir.empty() && dir.back() != '\\' && dir.back() != '/') dir += '\\';
  return dir;
}

std::string settingOr(const char* key, const char* fallback) {
  const std::string value = settings::readSetting("AURORATTS", key);
  return value.empty() ? fallback : value;
}

// Where MBROLA's database lies: a name with a separator is a path as it
// stands; else below the data root, as a fresh install leaves it, else where
// Debian's voices go.
std::string databasePath(const std::string& name) {
  if (name.find_first_of("\\/") != std::string::npos) return name;
  const std::string local = "c:\\audiwin\\auroratts\\" + name;
  if (platform::readableFile(platform::hostPath(local))) return local;
  std::string lower = name;
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return "/usr/share/mbrola/" + lower + "/" + lower;
}

bool engineOpen(int, int speed, int pitch) {
  const std::string dir = withSeparator(settingOr("DIR", std::string(tts::kDefaultDataDir).c_str()));
  const std::string stem = dir + settingOr("BASE", std::string(tts::kDefaultBaseName).c_str());
  const std::string database = platform::hostPath(databasePath(settingOr("MBROLA_DB", "br4")));
  if (!ttsOpen(database, stem + ".nrl", stem + ".exc", stem + ".abr", stem + ".pro", stem + ".dfn")) return false;
  setEngineFactors(pitch, speed);
  return true;
}

void engineClose() {
  // waveBusy ends at a key, so this never outlasts the user's patience.
  while (waveBusy()) console::delayMs(kCloseWaitMs);
  waveStop();
  ttsClose();
}

void engineSpeak(std::string_view text) {
  ttsSpeak(text);
  platform::backend().wake();
}

bool engineBusy(bool) {
  platform::backend().wake();
  if (console::keyPressed()) {
    waveStop();
    return false;
  }
  return waveBusy();
}

void engineStop() {
  waveStop();
  platform::backend().wake();
}

constexpr SynthDriver kEngineDriver{engineOpen, engineClose, engineSpeak, engineBusy, engineStop};

}  // namespace

const SynthDriver& engineDriver() { return kEngineDriver; }

void setEngineFactors(int pitch, int speed) {
  g.pitchFactor = tts::pitchFactorOf(pitch);
  g.durationFactor = tts::durationFactorOf(speed);
}

bool ttsOpen(std::string_view databasePath, std::string_view rulesPath, std::string_view exceptionsPath,
             std::string_view abbreviationsPath, std::string_view prosodyPath, std::string_view diphonesPath) {
  ttsClose();
  g.database = std::string(databasePath);
  if (!openMbrola() && !tts::loadDiphoneUnits(unitsPath(diphonesPath), g.units)) return false;
  g.ownVoice = !g.units.units.empty();
  tts::FrontEnd& f = g.frontEnd;
  f = tts::FrontEnd{};
  tts::DataProblems problems;
  bool loaded = tts::loadRules(rulesPath, f.rules) && tts::loadExceptions(exceptionsPath, f.exceptions) &&
                tts::loadAbbreviations(abbreviationsPath, f.abbreviations);
  if (loaded) {
    loaded = tts::loadProsody(prosodyPath, f.prosody, &problems);
    for (const tts::DataProblem& p : problems) showMessageBox(p.message);
    loaded = loaded && tts::loadDiphoneList(diphonesPath, g.diphones);
  }
  if (!loaded) {
    ttsClose();
    return false;
  }
  if (!g.ownVoice) setNoError_MBR(0);
  g.pitchFactor = g.durationFactor = 1.0;
  g.open = true;
  return true;
}

bool ttsSpeak(std::string_view text) {
  text = tts::trimmed(text);
  if (text.empty()) return true;
  if (!g.open) return false;
  const tts::FrontEndResult front = tts::textToPhonemeLines(text, g.frontEnd);
  const tts::PhonemeLines lines =
      tts::timeAndPitch(front.lines, g.frontEnd.prosody, g.diphones, g.pitchFactor, g.durationFactor);
  const bool wasFast = fastRate(), wasCutting = pitchCutting();
  setFastRate(false);
  setPitchCutting(false);
  g.piece.assign(kHeader, 0);
  bool ok = true;
  if (g.ownVoice) speakOwn(lines);
  else ok = speakMbrola(lines);
  playRest();
  setFastRate(wasFast);
  setPitchCutting(wasCutting);
  return ok;
}

void ttsClose() {
  g.open = false;
  g.ownVoice = false;
  g.units = tts::DiphoneUnits{};
  g.frontEnd = tts::FrontEnd{};
  g.diphones = tts::DiphoneList{};
  close_MBR();
  releaseMbrola();
}

}  // namespace speech
