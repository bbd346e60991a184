#include "tts/prosody_code.h"

namespace tts {
namespace {

bool fieldMatches(const std::string& field, const std::string& cls) {
  return field.empty() || field == cls;
}

}  // namespace

std::vector<CodedToken> codeProsody(const std::vector<Token>& tokens, const ProsodyConfig& config) {
  static const std::string kNone;
  std::vector<CodedToken> coded;
  coded.reserve(tokens.size());
  char previousLast = '5';
  for (size_t i = 0; i < tokens.size(); ++i) {
    const std::string& previous = i > 0 ? tokens[i - 1].cls : kNone;
    const std::string& next = i + 1 < tokens.size() ? tokens[i + 1].cls : kNone;
    std::string code;
    for (const ProsodyRule& rule : config.rules) {
      if (fieldMatches(rule.previous, previous) && fieldMatches(rule.current, tokens[i].cls) &&
          fieldMatches(rule.next, next)) {
        code = rule.code;
        break;
      }
    }
    if (code.empty()) code = kDefaultProsodyCode;
    if (code[0] == '?') code[0] = previousLast;
    previousLast = code.back();
    coded.push_back({std::move(code), tokens[i].text});
  }
  return coded;
}

}  // namespace tts
