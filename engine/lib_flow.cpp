// Control flow. There is no block structure: each block command finds the
// line it needs in the text when it runs, so loops of one kind cannot nest
// and a SENÃO ends its SE at the first FIM SE after it.
#include <string>

#include "engine/api.h"
#include "engine/condition.h"
#include "engine/libraries.h"
#include "engine/line_index.h"
#include "engine/number.h"
#include "engine/store.h"
#include "engine/text.h"

namespace engine {
namespace {

// Past a false block SE: to its SENÃO or past its FIM SE, counting the
// nested block SE lines met (those whose condition parses and leaves
// nothing: evaluated now, on the line's normalised text).
void skipFalseBlock(Interp& in) {
  int depth = 1;
  for (int n = currentLine(in) + 1; n <= lineCount(in); ++n) {
    switch (mark(in, n)) {
      case Mark::Se: {
        std::string_view rest = seCondition(in, n);
        bool ignored;
        if (evaluateCondition(in, rest, ignored) && rest.empty()) ++depth;
        break;
      }
      case Mark::FimSe:
        if (--depth == 0) {
          setCurrentLine(in, n);
          return;
        }
        break;
      case Mark::Senao:
        if (depth == 1) {
          setCurrentLine(in, n);
          return;
        }
        break;
      default: break;
    }
  }
  setCurrentLine(in, lineCount(in) + 1);
}

Status se(Interp& in, std::string_view text) {
  bool result;
  if (!evaluateCondition(in, text, result)) return false;
  if (result) return text.empty() ? Status(true) : runCommandLine(in, text, true);
  if (text.empty()) skipFalseBlock(in);
  return true;
}

// Reached by running through the true part: on past the first FIM SE.
Status senao(Interp& in, std::string_view text) {
  if (!text.empty()) return false;
  setCurrentLine(in, nextMarked(in, currentLine(in), Mark::FimSe));
  return true;
}

Status enquanto(Interp& in, std::string_view text) {
  bool result;
  if (!evaluateCondition(in, text, result)) return false;
  if (!result) setCurrentLine(in, nextMarked(in, currentLine(in), Mark::FimEnquanto));
  return true;
}

// First entry counts from 0; FIM REPETE continues from the target's value.
Status repeat(Interp& in, std::string_view text, bool continuing) {
  int target;
  if (!readTarget(in, text, target) || text.empty()) return false;
  int32_t count = 0;
  if (continuing && !numberValue(variable(in, target), count)) return false;
  std::string operand;
  int32_t limit;
  if (!readOperand(in, text, operand) || !numberValue(operand, limit)) return false;
  const int64_t next = int64_t{count} + 1;
  if (Status s = setVariable(in, target, decimal(next)); !s.ok()) return s;
  if (limit < next) setCurrentLine(in, nextMarked(in, currentLine(in), Mark::FimRepete));
  return true;
}

Status repete(Interp& in, std::string_view text) { return repeat(in, text, false); }

Status fim(Interp& in, std::string_view text) {
  if (text.empty()) return false;
  if (equalsUpper(text, "ENQUANTO")) {
    const int loop = previousEnquanto(in, currentLine(in));
    if (loop == 0) return false;
    setCurrentLine(in, loop - 1);
  } else if (equalsUpper(text, "REPETE")) {
    const int loop = previousRepete(in, currentLine(in));
    if (loop == 0) return false;
    setCurrentLine(in, loop);
    return repeat(in, lineCode(in, loop).operands, true);
  }
  return true;
}

// "@name" (no space in it), or an operand holding the name.
bool readLabel(Interp& in, std::string_view text, std::string& name) {
  if (!text.empty() && text[0] == '@') {
    name.assign(text.substr(1));
    return name.find(' ') == std::string::npos;
  }
  return readOperand(in, text, name) && text.empty();
}

Status desvia(Interp& in, std::string_view text) {
  std::string name;
  if (!readLabel(in, text, name)) return false;
  return goToLabel(in, name);
}

Status chama(Interp& in, std::string_view text) {
  std::string name;
  if (!readLabel(in, text, name)) return false;
  return callLabel(in, name);
}

Status retorna(Interp& in, std::string_view text) {
  if (!text.empty()) return false;
  return returnFromCall(in);
}

constexpr Command kFlowCommands[] = {
    {"DESVIA", desvia}, {"SE", se},         {"SENAO", senao, "SEN\xC3O"}, {"ENQUANTO", enquanto}, {"REPETE", repete},
    {"FIM", fim},       {"CHAMA", chama},   {"RETORNA", retorna},
};

}  // namespace

Library flowLibrary() { return kFlowCommands; }

}  // namespace engine
