// ABRE, FECHA, ESCREVE (to the screen, spoken, or to a channel), LE from a
// channel (for LE, which is the input library's), and CHECA, which reads the
// status the last channel operation left.
#include <string>

#include "console/screen.h"
#include "engine/api.h"
#include "engine/channels.h"
#include "engine/libraries.h"
#include "engine/readers.h"
#include "engine/text.h"
#include "engine/values.h"
#include "engine/variables.h"
#include "speech/speech_activity.h"
#include "speech/speech_service.h"

namespace engine {
namespace {

constexpr std::string_view kFileError = "Erro no processamento de arquivo";

Status abre(Interp& in, std::string_view text) {
  const bool append = takeAmpersand(text);
  int n;
  std::string name;
  const bool read = readChannel(text, n) && !text.empty() && readOperand(in, text, name) && !name.empty();
  if (!read || !openFile(in, n, name, append)) return failSaying("Erro na abertura do arquivo " + name);
  return true;
}

Status fecha(Interp& in, std::string_view text) {
  int n;
  if (!readChannel(text, n) || !closeChannel(in, n)) return failSaying("Erro no fechamento do arquivo");
  return true;
}

Status escreve(Interp& in, std::string_view text) {
  setChannelStatus(in, 0);
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
  else if (Status joined = joinValues(in, text, out); !joined.ok()) return joined;
  if (n < 0) {
    console::streamWrite(lineEnd ? out + "\r\n" : out);
    if (!mute) speech::speakText(out);
  } else if (!channel(in, n).open) {
    return failSaying(kFileError);
  } else {
    setChannelStatus(in, writeChannel(in, n, out, lineEnd));
  }
  if (!text.empty()) return false;
  speech::waitWhileSpeaking();
  return true;
}

}  // namespace

// LE #n target.
Status readLineFromChannel(Interp& in, std::string_view text) {
  setChannelStatus(in, 0);
  takeAmpersand(text);
  int n, target;
  if (!readChannel(text, n)) return false;
  if (text.empty()) return failSaying(kFileError);
  if (!readTarget(in, text, target)) return false;
  const Channel& c = channel(in, n);
  std::string line;
  if (!c.open) {
    // A connection closed by FECHA reads as its end, without a message.
    if (!c.socket) return failSaying(kFileError);
    setChannelStatus(in, 1);
  } else if (c.appending) {
    return failSaying(kFileError);
  } else {
    setChannelStatus(in, readChannelLine(in, n, line));
  }
  return setVariable(in, target, std::move(line));
}

namespace {

Status checa(Interp& in, std::string_view text) {
  int target;
  if (!readTarget(in, text, target) || !text.empty()) return false;
  return setVariable(in, target, decimal(channelStatus(in)));
}

constexpr Command kChannelCommands[] = {
    {"ABRE", abre}, {"FECHA", fecha}, {"ESCREVE", escreve}, {"CHECA", checa},
};

}  // namespace

Library channelLibrary() { return kChannelCommands; }

}  // namespace engine
