#include "tts/front_end.h"

#include <filesystem>

#include "platform/base/paths.h"
#include "tts/normalise.h"
#include "tts/phoneme_lines.h"
#include "tts/prosody_code.h"
#include "tts/tokenise.h"

namespace tts {

bool loadFrontEnd(std::string_view dir, std::string_view base, FrontEnd& frontEnd,
                  DataProblems* problems) {
  const std::string stem = std::string(dir) + std::string(base);
  if (!loadRules(stem + ".nrl", frontEnd.rules, problems) ||
      !loadExceptions(stem + ".exc", frontEnd.exceptions, problems) ||
      !loadAbbreviations(stem + ".abr", frontEnd.abbreviations, problems))
    return false;
  frontEnd.prosody = ProsodyConfig{};
  std::error_code error;
  if (!std::filesystem::exists(platform::hostPath(stem + ".pro"), error)) return true;
  return loadProsody(stem + ".pro", frontEnd.prosody, problems);
}

FrontEndResult textToPhonemeLines(std::string_view text, const FrontEnd& frontEnd) {
  FrontEndResult result;
  result.normalised = normaliseText(text, frontEnd.abbreviations);
  const std::vector<Token> tokens = tokenise(result.normalised, frontEnd.prosody);
  result.lines = wordsToPhonemeLines(codeProsody(tokens, frontEnd.prosody), frontEnd.exceptions,
                                     frontEnd.rules, &result.unhandled);
  return result;
}

}  // namespace tts
