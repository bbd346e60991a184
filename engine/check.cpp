#include "engine/check.h"

#include "engine/condition.h"
#include "engine/line_index.h"
#include "engine/store.h"
#include "engine/text.h"

namespace engine {
namespace {

constexpr int kMaxNested = 64;

void checkCode(Interp& in, int line, const LineCode& code, bool nested, int depth, std::vector<Problem>& out) {
  if (!code.command) return;
  const std::string& word = code.upperKeyword;
  if (!code.entry) {
    out.push_back({line, "unknown command " + word});
    return;
  }
  if (nested && (word == "REPETE" || word == "ENQUANTO" || word == "SENAO" || word == "SEN\xC3O" || word == "FIM"))
    out.push_back({line, word + " cannot follow a one-line SE"});
  if ((word == "DESVIA" || word == "CHAMA") && code.operands.starts_with("@")) {
    const std::string_view name = code.operands.substr(1);
    if (labelLine(in, upper(name)) == 0) out.push_back({line, "missing label @" + std::string(name)});
  }
  if (word == "SE" && depth < kMaxNested) {
    std::string_view rest = code.operands;
    bool ignored;
    if (evaluateCondition(in, rest, ignored) && !rest.empty()) checkCode(in, line, splitLine(rest), true, depth + 1, out);
  }
}

}  // namespace

std::vector<Problem> checkProgram(Interp& in) {
  std::vector<Problem> problems;
  for (int n = 1; n <= lineCount(in); ++n) checkCode(in, n, lineCode(in, n), false, 0, problems);
  return problems;
}

}  // namespace engine
