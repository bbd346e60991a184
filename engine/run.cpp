// The run loop: one stored line after another, each split into keyword and
// operands and handed to its command, until the last line is passed, TERMINA
// stops the run or a command fails.
#include <string>

#include "console/keyboard.h"
#include "console/screen.h"
#include "engine/engine.h"
#include "engine/libraries.h"
#include "engine/line_index.h"
#include "engine/run_state.h"
#include "engine/text.h"
#include "platform/transcript.h"
#include "speech/speech_service.h"

namespace engine {
namespace {

// One-line SE may hold another SE; beyond this depth the line is refused
// instead of exhausting the stack.
constexpr int kMaxNesting = 64;

RunState g_state;
int g_nesting = 0;

bool isBlockKeyword(std::string_view upperKeyword) {
  return upperKeyword == "REPETE" || upperKeyword == "ENQUANTO" || upperKeyword == "SENAO" ||
         upperKeyword == "SEN\xC3O" || upperKeyword == "FIM";
}

bool runCode(const LineCode& code) {
  if (!code.command) return true;
  if (g_state.debug) speech::sayLine(code.keyword + " " + std::string(code.operands));
  const bool ok = callCommand(code.entry, code.upperKeyword, code.operands);
  g_state.error = !ok;
  return ok;
}

void reportEnd() {
  if (!g_state.error) {
    platform::transcriptEvent("END", "");
    if (!g_state.muteAtEnd) speech::speakText("Fim do script");
    return;
  }
  platform::transcriptEvent("ERROR", decimal(g_state.line));
  speech::speakText("Erro de execu\xE7\xE3o na linha ");
  speech::sayNumber(g_state.line);
  console::writeText("\r\n");
  console::readLineBasic();
}

bool debugCommand(std::string_view operands) {
  const bool off = operands == "-" || (!operands.empty() && operands[0] == 'N');
  g_state.debug = !off;
  speech::sayLine(off ? "Debug desligado" : "Debug ligado");
  return true;
}

bool terminaCommand(std::string_view operands) {
  g_state.stop = true;
  g_state.muteAtEnd = upper(operands) == "MUDO";
  return true;
}

constexpr Command kRunCommands[] = {
    {"DEBUG", debugCommand},
    {"TERMINA", terminaCommand},
};

}  // namespace

RunState& state() { return g_state; }

Library runLibrary() { return kRunCommands; }

bool runCommandLine(std::string_view text, bool nested) {
  // A line behind a one-line SE lies within the stored line, whose split
  // cannot change during the run; any other text is split afresh. A copy,
  // since a nested SE on the same line replaces the kept split.
  const LineCode code = withinLine(g_state.line, text) ? nestedLineCode(g_state.line, text) : splitLine(text);
  if (!code.command) return true;
  if (nested && isBlockKeyword(code.upperKeyword)) return false;
  if (g_nesting >= kMaxNesting) {
    speech::sayLine("Comandos encaixados demais numa linha");
    g_state.error = true;
    return false;
  }
  ++g_nesting;
  const bool ok = runCode(code);
  --g_nesting;
  return ok;
}

bool runProgram() {
  RunState& s = g_state;
  s.line = 1;
  s.error = s.stop = false;
  s.callDepth = 0;
  s.channelStatus = 0;
  while (s.line <= lineCount() && !s.stop && !s.error) {
    runCode(lineCode(s.line));
    if (!s.stop && !s.error) ++s.line;
  }
  setLineCount(0);
  reportEnd();
  s.stop = true;
  return !s.error;
}

bool findLabel(std::string_view name) {
  const int line = labelLine(upper(name));
  if (line == 0) return false;
  g_state.line = line;
  return true;
}

}  // namespace engine
