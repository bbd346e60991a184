// Speech and sound commands: thin layers over the speech service, the
// recorded time pieces, the wave player and the media control strings.
#include <string>

#include "console/keyboard.h"
#include "console/screen.h"
#include "engine/api.h"
#include "engine/libraries.h"
#include "engine/mci.h"
#include "engine/number.h"
#include "engine/readers.h"
#include "engine/text.h"
#include "engine/values.h"
#include "engine/variables.h"
#include "settings/settings.h"
#include "speech/number_pieces.h"
#include "speech/speech_activity.h"
#include "speech/speech_service.h"
#include "speech/wave_player.h"

namespace engine {
namespace {

// The MCI reply buffer holds 1023 characters and its end mark.
constexpr size_t kMciReply = 1023;

Status fala(Interp& in, std::string_view text) {
  const bool wait = !takeAmpersand(text);
  if (text.empty()) {
    speech::stopSpeech();
  } else {
    std::string out;
    if (Status s = joinValues(in, text, out); !s.ok()) return s;
    speech::speakText(out);
  }
  if (wait) speech::waitWhileSpeaking();
  return text.empty();
}

Status soletra(Interp& in, std::string_view text) {
  std::string value;
  if (!readOperand(in, text, value)) return false;
  speech::spellText(value);
  console::streamWrite(value);
  speech::waitWhileSpeaking();
  return true;
}

// A configured number for an operand of -1; `fallback` when the key is
// missing or not a number.
int configured(int32_t given, std::string_view section, std::string_view key, int32_t fallback) {
  if (given != -1) return given;
  int32_t n;
  return numberValue(trim(settings::readSetting(section, key)), n) ? n : fallback;
}

// mode (0 recorded path, 1 synthesizer, 2 as configured), speed, kind,
// voice, synthesizer speed, pitch; -1 takes the configured value.
Status sintconfig(Interp& in, std::string_view text) {
  int32_t v[6];
  for (int32_t& n : v) {
    if (!readNumber(in, text, n)) return false;
  }
  int32_t mode = v[0];
  if (mode < 0 || mode > 2) return false;
  if (mode == 2) mode = startsUpper(settings::readSetting("TRADUTOR", "SAPI"), "S") ? 1 : 0;
  const int speed = configured(v[1], "tradutor", "VELOCIDADE", 3);
  const int kind = configured(v[2], "servfala", "TIPOSAPI", 0);
  const int voice = configured(v[3], "servfala", "VOZ", 0);
  const int synthSpeed = configured(v[4], "servfala", "VELOCIDADE", 0);
  const int pitch = configured(v[5], "servfala", "TOM", 0);
  speech::configureSynth(speed, mode == 1, kind, pitch, synthSpeed, voice);
  return true;
}

// "hh:mm".
Status falahora(Interp& in, std::string_view text) {
  std::string value;
  int32_t hours, minutes;
  if (!readOperand(in, text, value) || value.size() != 5 || value[2] != ':') return false;
  if (!numberValue(value.substr(0, 2), hours) || !numberValue(value.substr(3), minutes)) return false;
  speech::speakTime(hours, minutes);
  speech::waitWhileSpeaking();
  return true;
}

Status mensagem(Interp& in, std::string_view text) {
  std::string name;
  if (!readOperand(in, text, name)) return false;
  name = upper(name);
  if (name.find(".WAV") == std::string::npos) name += ".WAV";
  speech::playWaveFile(name);
  return true;
}

// Plays a media file to its end or a key (the keys are dropped); with "&"
// it is only started, and plays on in the background.
Status toca(Interp& in, std::string_view text) {
  const bool wait = !takeAmpersand(text);
  std::string name, reply;
  if (!readOperand(in, text, name) || !text.empty()) return false;
  if (!wait) {
    mciSend(in, "play \"" + name + "\"", reply);
    return true;
  }
  mciSend(in, "open \"" + name + "\" alias myfile", reply);
  mciSend(in, "play myfile", reply);
  do {
    console::delayMs(100);
    mciSend(in, "status myfile mode", reply);
  } while (!console::keyPressed() && reply == "playing");
  while (console::keyPressed()) console::readKey();
  mciSend(in, "stop myfile", reply);
  mciSend(in, "close myfile", reply);
  return true;
}

Status mci(Interp& in, std::string_view text) {
  int target;
  std::string command, reply;
  if (!readTarget(in, text, target) || !readOperand(in, text, command) || !text.empty()) return false;
  mciSend(in, command, reply);
  if (reply.size() > kMciReply) reply.resize(kMciReply);
  return setVariable(in, target, std::move(reply));
}

constexpr Command kSpeechCommands[] = {
    {"SOLETRA", soletra}, {"FALAHORA", falahora}, {"TOCA", toca},         {"FALA", fala},
    {"MCI", mci},         {"SINTCONFIG", sintconfig}, {"MENSAGEM", mensagem},
};

}  // namespace

Library speechLibrary() { return kSpeechCommands; }

}  // namespace engine
