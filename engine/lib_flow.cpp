// Control flow. There is no block structure: each block command finds the
// line it needs in the text when it runs, so loops of one kind cannot nest
// and a SENÃO ends its SE at the first FIM SE after it.
#include <string>

#include "engine/condition.h"
#include "engine/engine.h"
#include "engine/fail.h"
#include "engine/libraries.h"
#include "engine/line_index.h"
#include "engine/number.h"
#include "engine/readers.h"
#include "engine/run_state.h"
#include "engine/store.h"
#include "engine/text.h"
#include "engine/variables.h"

namespace engine {
namespace {

// Past a false block SE: to its SENÃO or past its FIM SE, counting the
// nested block SE lines met (those whose condition parses and leaves
// nothing: evaluated now, on the line's normalised text).
void skipFalseBlock() {
  RunState& s = state();
  int depth = 1;
  for (int n = s.line + 1; n <= lineCount(); ++n) {
    switch (mark(n)) {
      case Mark::Se: {
        std::string_view rest = seCondition(n);
        bool ignored;
        if (evaluateCondition(rest, ignored) && rest.empty()) ++depth;
        break;
      }
      case Mark::FimSe:
        if (--depth == 0) {
          s.line = n;
          return;
        }
        break;
      case Mark::Senao:
        if (depth == 1) {
          s.line = n;
          return;
        }
        break;
      default: break;
    }
  }
  s.line = lineCount() + 1;
}

bool se(std::string_view text) {
  bool result;
  if (!evaluateCondition(text, result)) return false;
  if (result) return text.empty() || runCommandLine(text, true);
  if (text.empty()) skipFalseBlock();
  return true;
}

// Reached by running through the true part: on past the first FIM SE.
bool senao(std::string_view text) {
  if (!text.empty()) return false;
  state().line = nextMarked(state().line, Mark::FimSe);
  return true;
}

bool enquanto(std::string_view text) {
  bool result;
  if (!evaluateCondition(text, result)) return false;
  if (!result) state().line = nextMarked(state().line, Mark::FimEnquanto);
  return true;
}

// First entry counts from 0; FIM REPETE continues from the target's value.
bool repeat(std::string_view text, bool continuing) {
  int target;
  if (!readTarget(text, target) || text.empty()) return false;
  int32_t count = 0;
  if (continuing && !numberValue(variable(target), count)) return false;
  std::string operand;
  int32_t limit;
  if (!readOperand(text, operand) || !numberValue(operand, limit)) return false;
  const int64_t next = int64_t{count} + 1;
  if (!setVariable(target, decimal(next))) return false;
  if (limit < next) state().line = nextMarked(state().line, Mark::FimRepete);
  return true;
}

bool repete(std::string_view text) { return repeat(text, false); }

bool fim(std::string_view text) {
  if (text.empty()) return false;
  RunState& s = state();
  if (equalsUpper(text, "ENQUANTO")) {
    const int loop = previousEnquanto(s.line);
    if (loop == 0) return false;
    s.line = loop - 1;
  } else if (equalsUpper(text, "REPETE")) {
    const int loop = previousRepete(s.line);
    if (loop == 0) return false;
    s.line = loop;
    return repeat(lineCode(loop).operands, true);
  }
  return true;
}

// "@name" (no space in it), or an operand holding the name.
bool readLabel(std::string_view text, std::string& name) {
  if (!text.empty() && text[0] == '@') {
    name.assign(text.substr(1));
    return name.find(' ') == std::string::npos;
  }
  return readOperand(text, name) && text.empty();
}

bool desvia(std::string_view text) {
  std::string name;
  return readLabel(text, name) && findLabel(name);
}

bool chama(std::string_view text) {
  std::string name;
  if (!readLabel(text, name)) return false;
  RunState& s = state();
  if (s.callDepth == kMaxCalls) return failSaying("Muitas chamadas sem retorno");
  s.calls[static_cast<size_t>(s.callDepth++)] = s.line;
  return findLabel(name);
}

bool retorna(std::string_view text) {
  if (!text.empty()) return false;
  RunState& s = state();
  if (s.callDepth == 0) return failSaying("Retorno sem chamada");
  s.line = s.calls[static_cast<size_t>(--s.callDepth)];
  return true;
}

constexpr Command kFlowCommands[] = {
    {"DESVIA", desvia}, {"SE", se},         {"SENAO", senao, "SEN\xC3O"}, {"ENQUANTO", enquanto}, {"REPETE", repete},
    {"FIM", fim},       {"CHAMA", chama},   {"RETORNA", retorna},
};

}  // namespace

Library flowLibrary() { return kFlowCommands; }

}  // namespace engine
