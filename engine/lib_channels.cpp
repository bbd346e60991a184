// ABRE, FECHA, ESCREVE (to the screen, spoken, or to a channel), LE from a
// channel (for LE, which is the input library's), and CHECA, which reads the
// status the last channel operation left.
#include <string>

#include "console/screen.h"
#include "engine/channels.h"
#include "engine/fail.h"
#include "engine/libraries.h"
#include "engine/readers.h"
#include "engine/run_state.h"
#include "engine/text.h"
#include "engine/values.h"
#include "engine/variables.h"
#include "speech/speech_activity.h"
#include "speech/speech_service.h"

namespace engine {
namespace {

constexpr std::string_view kFileError = "Erro no processamento de arquivo";

bool abre(std::string_view text) {
  const bool append = takeAmpersand(text);
  int n;
  std::string name;
  const bool read = readChannel(text, n) && !text.empty() && readOperand(text, name) && !name.empty();
  if (!read || !openFile(n, name, append)) return failSaying("Erro na abertura do arquivo " + name);
  return true;
}

bool fecha(std::string_view text) {
  int n;
  if (!readChannel(text, n) || !closeChannel(n)) return failSaying("Erro no fechamento do arquivo");
  return true;
}

bool escreve(std::string_view text) {
  RunState& s = state();
  s.channelStatus = 0;
  bool lineEnd = !takeAmpersand(text);
  int n = -1;
  bool mute = false;
  if (!text.empty() && text[0] == '#') {
    if (text.size() < 2 || !isDigit(text[1])) return failSaying(kFileError);
    n = text[1] - '0';
    text.remove_prefix(2);
  } else if (startsUpper(text, "MUDO")) {
    mute = true;
    text.remove_prefix(4);
  }
  text = trim(text);
  std::string out;
  if (text.empty()) lineEnd = true;
  else if (!joinValues(text, out)) return false;
  if (n < 0) {
    console::streamWrite(lineEnd ? out + "\r\n" : out);
    if (!mute) speech::speakText(out);
  } else if (!channel(n).open) {
    return failSaying(kFileError);
  } else {
    s.channelStatus = writeChannel(n, out, lineEnd);
  }
  if (!text.empty()) return false;
  speech::waitWhileSpeaking();
  return true;
}

}  // namespace

// LE #n target.
bool readLineFromChannel(std::string_view text) {
  RunState& s = state();
  s.channelStatus = 0;
  takeAmpersand(text);
  int n, target;
  if (!readChannel(text, n)) return false;
  if (text.empty()) return failSaying(kFileError);
  if (!readTarget(text, target)) return false;
  const Channel& c = channel(n);
  std::string line;
  if (!c.open) {
    // A connection closed by FECHA reads as its end, without a message.
    if (!c.socket) return failSaying(kFileError);
    s.channelStatus = 1;
  } else if (c.appending) {
    return failSaying(kFileError);
  } else {
    s.channelStatus = readChannelLine(n, line);
  }
  return setVariable(target, std::move(line));
}

namespace {

bool checa(std::string_view text) {
  int target;
  if (!readTarget(text, target) || !text.empty()) return false;
  return setVariable(target, decimal(state().channelStatus));
}

constexpr Command kChannelCommands[] = {
    {"ABRE", abre}, {"FECHA", fecha}, {"ESCREVE", escreve}, {"CHECA", checa},
};

}  // namespace

Library channelLibrary() { return kChannelCommands; }

}  // namespace engine
