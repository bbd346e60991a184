#include "speech/speech_service.h"

#include <charconv>
#include <string>

#include "console/keyboard.h"
#include "console/magnifier.h"
#include "console/screen.h"
#include "platform/base/paths.h"
#include "platform/transcript.h"
#include "settings/settings.h"
#include "speech/battery.h"
#include "speech/click_beep.h"
#include "speech/diphone_synth.h"
#include "speech/number_pieces.h"
#include "speech/speech_activity.h"
#include "speech/speed_table.h"
#include "speech/synth_dispatch.h"
#include "speech/tts_engine.h"
#include "speech/wave_player.h"
#include "tts/chars.h"

namespace speech {
namespace {

struct ServiceState {
  std::string soundDir;
  std::string lettersDir = "c:\\audiwin\\som\\letras\\";
  int fullStopPause = 250;
  int commaPause = 150;
  int colonPause = 200;
  bool fastRate = false;
  bool keyEcho = true;
  bool sayEverything = true;
  // The repetition guard of speakText: the last symbol and its repeats.
  char lastSymbol = ' ';
  int repeats = 0;
};

ServiceState g;

std::string withBackslash(std::string dir) {
  if (!dir.empty() && dir.back() != '\\' && dir.back() != '/') dir += '\\';
  return dir;
}

bool startsWithS(const std::string& v) { return !v.empty() && (v[0] == 'S' || v[0] == 's'); }

// A whole number, or the fallback when the value is missing or not one.
int numberOr(const std::string& v, int fallback) {
  int n = 0;
  const auto [end, ec] = std::from_chars(v.data(), v.data() + v.size(), n);
  return ec == std::errc() && end == v.data() + v.size() ? n : fallback;
}

std::string speedKey(const char* key, int n) { return std::string(key) + std::to_string(n); }

std::string piecePath(std::string_view name) {
  return (!name.empty() && name[0] == '_' ? g.lettersDir : g.soundDir) + std::string(name) + ".wav";
}

bool isLetter(unsigned char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c >= 128; }
bool isWordChar(unsigned char c) { return c == ' ' || isLetter(c); }

void speakPunctuation(std::string_view rest, char c) {
  if (!console::keyPressed()) {
    waitWhileSpeaking();
    speakChar(static_cast<uint8_t>(c));
  }
  const bool spaceNext = rest.size() > 1 && rest[1] == ' ';
  switch (c) {
    case '(': case ')': case ':': case ';': pauseSpeech(g.colonPause); break;
    case ',': case '-': if (spaceNext) pauseSpeech(g.commaPause); break;
    case '.': if (spaceNext) pauseSpeech(g.fullStopPause); break;
    default: break;
  }
}

// One symbol at the front of `rest`, with the repetition guard.
void speakSymbol(std::string_view rest) {
  const char c = rest[0];
  char shown = c;  // what the choices below see
  if (c == g.lastSymbol) {
    if (++g.repeats > 3) {
      playClick();
      shown = ' ';
    }
  } else {
    g.lastSymbol = c;
    g.repeats = 0;
  }
  if (c == '-') {
    const char second = rest.size() <= 2 ? ' ' : rest[1];
    if (second == ' ' || second == '-') speakPunctuation(rest, '-');
    else if (second >= '0' && second <= '9') playPiece("_MENOS");
    else speakChar('-');
  } else if (rest.substr(0, 3) == "://") {
    spellText(":");
  } else if (shown == '(' || shown == ')' || shown == ',' || shown == '.' || shown == ':' || shown == ';') {
    speakPunctuation(rest, shown);
  } else if (shown == '\t') {
    playPiece("_FON9");
  } else if (shown != ' ' && shown != '\r' && shown != '\n' && !console::keyPressed()) {
    speakChar(static_cast<uint8_t>(shown));
  }
}

void speakRecorded(std::string text) {
  text += ' ';
  clearStopRequest();
  g.lastSymbol = ' ';
  g.repeats = 0;
  std::string_view rest = text;
  while (!stopRequested() && !rest.empty()) {
    if (console::keyPressed()) {
      stopSpeech();
      return;
    }
    while (!rest.empty() && rest[0] == '0') {
      playPiece("_zero");
      rest.remove_prefix(1);
    }
    if (rest.empty()) break;
    const auto c = static_cast<unsigned char>(rest[0]);
    if (c >= '1' && c <= '9') {
      size_t n = 0;
      while (n < rest.size() && ((rest[n] >= '0' && rest[n] <= '9') || rest[n] == '-')) ++n;
      const std::string_view run = rest.substr(0, n);
      if (run.find('-') != std::string_view::npos || n >= 7) {
        spellText(run);
      } else {
        uint32_t value = 0;
        std::from_chars(run.data(), run.data() + n, value);
        speakNumberWords(numberWordsRecorded(value), false);
      }
      rest.remove_prefix(n);
    } else if (isWordChar(c)) {
      size_t n = 0;
      while (n < rest.size() && isWordChar(static_cast<unsigned char>(rest[n]))) ++n;
      const std::string_view run = rest.substr(0, n);
      if (tts::upperLatin1(run) == "WWW") spellText(run);
      else speakPhones(textToPhones(run.substr(0, 999)));
      rest.remove_prefix(n);
      // A hyphen between letters joins two runs and is not said.
      if (rest.size() > 1 && rest[0] == '-' && isLetter(static_cast<unsigned char>(rest[1]))) rest.remove_prefix(1);
    } else {
      speakSymbol(rest);
      rest.remove_prefix(1);
    }
  }
}

// The fatal end when the voice cannot be loaded: say why, wait for Enter.
[[noreturn]] void failVoiceLoad(int code) {
  releaseDiphoneSynth();
  console::writeLine("Erro de inicializa\xE7\xE3o: " + std::to_string(code));
  console::writeLine("Banco de dados de voz: DIFONES2");
  while (console::readKey() != 13) {
  }
  console::closeConsole(1);
}

}  // namespace

void readSpeedSettings(int n) {
  auto read = [n](const char* key) { return settings::readSetting("SINTETIZADOR", speedKey(key, n)); };
  setDiphoneSpeed({numberOr(read("CORTEFON"), 0), numberOr(read("SOBRAFON"), 0), numberOr(read("INTERPAL"), 0)});
  auto on = [](const std::string& v) { return !v.empty() && v[0] != 'N' && v[0] != 'n'; };
  setPitchCutting(on(read("CORTAFALA")));
  g.fastRate = on(read("RAPIDINHO"));
  setFastRate(g.fastRate);
  g.fullStopPause = numberOr(read("PAUSAPONTO"), 250);
  g.commaPause = numberOr(read("PAUSAVIRG"), 150);
  g.colonPause = numberOr(read("PAUSADOISPONTOS"), 200);
}

void startSpeechModules() {
  startWavePlayer();
  startSpeechActivity();
  startSynthDispatch();
  registerSystemVoices();
  setSynthDriver(kSynthEngine, &engineDriver());
}

void initSpeech(int speed, std::string_view soundDirectory) {
  console::loadMagnifierSettings();
  settings::loadLegacyMode();
  g.keyEcho = startsWithS(settings::readSettingOrInit("ESCUTA", "FALANDO", "Sim"));
  g.sayEverything = startsWithS(settings::readSettingOrInit("ESCUTA", "FALARTUDO", "Sim"));
  settings::readSettingOrInit("ESCUTA", "ECOAROPCAO", "Sim");
  if (speed <= 0) speed = numberOr(settings::readSetting("TRADUTOR", "VELOCIDADE"), 3);
  if (speed < 1 || speed > 5) speed = 3;
  writeDefaultSpeedTable();
  readSpeedSettings(speed);
  // The suite's setup would have named the letter files; a fresh install
  // points at the data installed with the program. A user's value stays.
  if (settings::readDirect("TRADUTOR", "dirLetras").empty()) {
    settings::writeSetting("TRADUTOR", "dirLetras", "c:\\audiwin\\som\\letras");
  }
  if (const int code = loadDiphoneSynth(); code != 0) failVoiceLoad(code);
  g.soundDir = withBackslash(std::string(soundDirectory));
  std::string letters = settings::readSetting("TRADUTOR", "DIRLETRAS");
  g.lettersDir = withBackslash(letters.empty() ? "c:\\audiwin\\som\\letras" : letters);
  readSpeedSettings(speed);
  setSynthActive(false);
  const std::string sapi = settings::readSetting("TRADUTOR", "SAPI");
  if (sapi.empty() || sapi[0] == 'N' || sapi[0] == 'n') return;
  auto servfala = [](const char* key) { return numberOr(settings::readSetting("SERVFALA", key), 0); };
  const int voice = servfala("VOZ"), pitch = servfala("TOM"), kind = servfala("TIPOSAPI");
  int synthSpeed = servfala("VELOCIDADE");
  if (kind != 4 && synthSpeed > 10) synthSpeed = 0;
  setSynthActive(synthOpen(voice, synthSpeed, pitch, kind));
}

void shutdownSpeech() {
  waitWhileSpeaking();
  stopSpeech();
  if (synthActive()) {
    synthClose();
    setSynthActive(false);
  }
  releaseDiphoneSynth();
}

void configureSynth(int speed, bool useSynth, int kind, int pitch, int synthSpeed, int voice) {
  stopSpeech();
  if (synthActive()) {
    synthClose();
    setSynthActive(false);
  }
  readSpeedSettings(speed);
  if (!useSynth) return;
  if (voice == 0) voice = numberOr(settings::readSetting("SERVFALA", "VOZ"), 0);
  setSynthActive(synthOpen(voice, synthSpeed, pitch, kind));
}

void speakText(std::string_view text) {
  platform::transcriptEvent("SAY", text);
  if (!synthActive()) return speakRecorded(std::string(text));
  waitWhileSpeaking();  // never cut off the utterance before
  if (console::keyPressed()) return;
  synthSpeak(text);
  setSynthSpeaking();
}

void spellText(std::string_view text) {
  platform::transcriptEvent("SPELL", text);
  for (const char c : text) {
    if (console::keyPressed()) return;
    if (c == '\t') playPiece("_FON9");
    else speakChar(static_cast<uint8_t>(c));
  }
}

void speakChar(uint8_t c) {
  waitForSynth();
  if ((c >= 1 && c <= 11) || (c >= 13 && c <= 31)) return;
  std::string file = letterFileDir() + "_" + std::to_string(c) + ".wav";
  if (!platform::readableFile(platform::hostPath(file))) file = letterFileDir() + "_unknown.wav";
  playWaveFile(file);
}

void playPiece(std::string_view name) {
  waitForSynth();
  playWaveFile(piecePath(name));
}

bool pieceExists(std::string_view name) { return platform::readableFile(platform::hostPath(piecePath(name))); }

uint8_t echoKey() {
  const uint8_t key = console::readKey();
  stopSpeech();
  speakChar(key);
  return key;
}

void sayAndShow(std::string_view text) {
  console::writeText(text);
  speakText(text);
}

void sayLine(std::string_view text) {
  sayAndShow(text);
  console::writeText("\r\n");
}

void sayNumber(int n) { sayAndShow(std::to_string(n)); }

void pauseSpeech(int ms) {
  for (int step = 0; step < ms / 50; ++step) {
    if (!console::keyPressed()) console::delayMs(50);
  }
}

void speakDialString(std::string_view text) {
  setFastRate(false);
  for (const char c : text) {
    if ((c >= '0' && c <= '9') || c == '*' || c == '#') {
      playWaveFile(letterFileDir() + "dtmf_" + (c == '*' ? 'X' : c) + ".wav");
      pauseSpeech(100);
    } else if (c == ',') {
      pauseSpeech(1000);
    }
  }
  setFastRate(g.fastRate);
}

void speakBattery() {
  const BatteryStatus b = readBattery();
  if (!b.present) {
    playPiece("_SEMBAT");
    return;
  }
  speakText(std::to_string(b.percent) + "%");
  if (!b.onMains) playPiece("_SEMENER");
}

const std::string& soundDir() { return g.soundDir; }
const std::string& lettersDir() { return g.lettersDir; }
bool keyEchoSetting() { return g.keyEcho; }
bool sayEverything() { return g.sayEverything; }

}  // namespace speech
