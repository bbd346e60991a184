// The run loop: one stored line after another, each split into keyword and
// operands and handed to its command, until the last line is passed, TERMINA
// stops the run or a command fails.
#include <string>

#include "engine/engine.h"
#include "engine/interp.h"
#include "engine/libraries.h"
#include "engine/line_index.h"
#include "engine/text.h"

namespace engine {
namespace {

// One-line SE may hold another SE; beyond this depth the line is refused
// instead of exhausting the stack.
constexpr int kMaxNesting = 64;

bool isBlockKeyword(std::string_view upperKeyword) {
  return upperKeyword == "REPETE" || upperKeyword == "ENQUANTO" || upperKeyword == "SENAO" ||
         upperKeyword == "SEN\xC3O" || upperKeyword == "FIM";
}

// A failure's message is reported where the command failed, so that a
// nested command's is said once and before the run's end; what is left to
// hand back is a plain yes or no.
bool runCode(Interp& in, const LineCode& code) {
  if (!code.command) return true;
  if (in.run.debug) in.reporter.debug(code.keyword + " " + std::string(code.operands));
  const Status status = callCommand(in, code.entry, code.upperKeyword, code.operands);
  const bool ok = status.ok();
  in.run.error = !ok;
  if (!ok && !status.message().empty()) in.reporter.failure(status.message());
  return ok;
}

void reportEnd(Interp& in) {
  if (!in.run.error) in.reporter.end(in.run.muteAtEnd);
  else in.reporter.executionError(in.run.line);
}

Status debugCommand(Interp& in, std::string_view operands) {
  const bool off = operands == "-" || (!operands.empty() && operands[0] == 'N');
  in.run.debug = !off;
  in.reporter.debug(off ? "Debug desligado" : "Debug ligado");
  return true;
}

Status terminaCommand(Interp& in, std::string_view operands) {
  in.run.stop = true;
  in.run.muteAtEnd = upper(operands) == "MUDO";
  return true;
}

constexpr Command kRunCommands[] = {
    {"DEBUG", debugCommand},
    {"TERMINA", terminaCommand},
};

}  // namespace

Library runLibrary() { return kRunCommands; }

Status runCommandLine(Interp& in, std::string_view text, bool nested) {
  // A line behind a one-line SE lies within the stored line, whose split
  // cannot change during the run; any other text is split afresh. A copy,
  // since a nested SE on the same line replaces the kept split.
  const int line = in.run.line;
  const LineCode code = withinLine(in, line, text) ? nestedLineCode(in, line, text) : splitLine(text);
  if (!code.command) return true;
  if (nested && isBlockKeyword(code.upperKeyword)) return false;
  if (in.nesting >= kMaxNesting) {
    in.reporter.failure("Comandos encaixados demais numa linha");
    in.run.error = true;
    return false;
  }
  ++in.nesting;
  const bool ok = runCode(in, code);
  --in.nesting;
  return ok;
}

bool runProgram(Interp& in) {
  RunState& s = in.run;
  s.line = 1;
  s.error = s.stop = false;
  s.callDepth = 0;
  s.channelStatus = 0;
  while (s.line <= in.program.count && !s.stop && !s.error) {
    runCode(in, lineCode(in, s.line));
    if (!s.stop && !s.error) ++s.line;
  }
  setLineCount(in, 0);
  reportEnd(in);
  s.stop = true;
  return !s.error;
}

Status goToLabel(Interp& in, std::string_view name) {
  const int line = labelLine(in, upper(name));
  if (line == 0) return false;
  in.run.line = line;
  return true;
}

Status callLabel(Interp& in, std::string_view name) {
  RunState& s = in.run;
  if (s.callDepth == kMaxCalls) return failSaying("Muitas chamadas sem retorno");
  s.calls[static_cast<size_t>(s.callDepth++)] = s.line;
  return goToLabel(in, name);
}

Status returnFromCall(Interp& in) {
  RunState& s = in.run;
  if (s.callDepth == 0) return failSaying("Retorno sem chamada");
  s.line = s.calls[static_cast<size_t>(--s.callDepth)];
  return true;
}

}  // namespace engine
