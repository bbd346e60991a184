// Screen commands: clearing, hiding and restoring the window, placing the
// cursor, colours, the title, the beep and the click, the speaker's tone and
// pauses.
#include <algorithm>
#include <string>

#include "automation/desktop.h"
#include "console/screen.h"
#include "console/tone.h"
#include "engine/api.h"
#include "engine/libraries.h"
#include "engine/number.h"
#include "engine/readers.h"
#include "engine/text.h"
#include "engine/variables.h"
#include "platform/base/codepage.h"
#include "platform/platform.h"
#include "speech/click_beep.h"

namespace engine {
namespace {

bool wholeNumber(std::string_view text, int32_t& n) { return numberValue(trim(text), n); }

// TELA @column,row
Status placeCursor(Interp&, std::string_view where) {
  const size_t comma = where.find(',');
  int32_t column, row;
  if (comma == std::string_view::npos || !wholeNumber(where.substr(0, comma), column) ||
      !wholeNumber(where.substr(comma + 1), row)) {
    return false;
  }
  console::gotoXY(column, row);
  return true;
}

Status tela(Interp& in, std::string_view text) {
  std::string arg = upper(trim(text));
  // A single letter names the variable that holds the sub-command.
  if (arg.size() == 1 && isLetter(arg[0])) arg = upper(trim(variable(in, letterCode(arg[0]))));
  if (arg == "LIMPA") {
    console::clearScreen();
  } else if (arg == "MINIMIZADA" || arg == "NORMAL") {
    console::ensureConsole();
    platform::backend().showWindow(arg == "NORMAL");
  } else if (!arg.empty() && arg[0] == '@') {
    return placeCursor(in, std::string_view(arg).substr(1));
  } else {
    return false;
  }
  return true;
}

Status cor(Interp& in, std::string_view text) {
  int32_t n;
  if (!readNumber(in, text, n)) return false;
  console::setTextColor(n);
  return true;
}

Status fundo(Interp& in, std::string_view text) {
  int32_t n;
  if (!readNumber(in, text, n)) return false;
  console::setBackColor(n);
  return true;
}

Status titulo(Interp& in, std::string_view text) {
  std::string value;
  if (!readOperand(in, text, value)) return false;
  console::setTitle(value);
  return true;
}

Status bipa(Interp& in, std::string_view text) {
  std::string value;
  if (!text.empty() && !readOperand(in, text, value)) return false;
  if (value == "1") speech::playClick();
  else speech::playBeep();
  return true;
}

Status alarme(Interp& in, std::string_view text) {
  int32_t frequency, duration;
  if (!readNumber(in, text, frequency) || !readNumber(in, text, duration)) return false;
  if (frequency < 0 || frequency > 20000 || duration < 0 || duration > 20000) return false;
  if (frequency > 0) console::toneOn(frequency);
  console::delayMs(duration);
  console::toneOff();
  return true;
}

// A pause of the whole time asked for (not cut to 16 bits), in short steps
// that keep the window served.
void pause(int64_t ms) {
  const uint64_t end = platform::nowMs() + static_cast<uint64_t>(std::max<int64_t>(ms, 0));
  for (uint64_t now = platform::nowMs(); now < end; now = platform::nowMs()) {
    console::delayMs(static_cast<int>(std::min<uint64_t>(end - now, 100)));
  }
}

// Whether the title of the window in front comes to hold the text, looked
// at twice a second, `seconds` times two at most.
bool waitForTitle(int32_t seconds, const std::string& text) {
  const std::string wanted = upper(text);
  for (int64_t tries = 0; tries < 2 * static_cast<int64_t>(seconds); ++tries) {
    std::string title = platform::utf8ToCp1252(automation::activeWindowTitle());
    title.resize(std::min<size_t>(title.size(), 250));
    if (upper(title).find(wanted) != std::string::npos) return true;
    console::delayMs(500);
  }
  return false;
}

Status espera(Interp& in, std::string_view text) {
  const bool ms = startsUpper(text, "MS");
  if (ms) text = trim(text.substr(2));
  int32_t n;
  if (!readNumber(in, text, n)) return false;
  if (ms || text.empty()) {
    pause(ms ? n : int64_t{n} * 1000);
    return true;
  }
  if (text[0] == ',') text = trim(text.substr(1));
  std::string title;
  if (!readOperand(in, text, title)) return false;
  console::ensureConsole();
  setChannelStatus(in, waitForTitle(n, title) ? 0 : 1);
  return true;
}

constexpr Command kScreenCommands[] = {
    {"TELA", tela},  {"COR", cor},       {"FUNDO", fundo},   {"TITULO", titulo, "T\xCDTULO"},
    {"BIPA", bipa},  {"ALARME", alarme}, {"ESPERA", espera},
};

}  // namespace

Library screenLibrary() { return kScreenCommands; }

}  // namespace engine
