// The whole text front end of the Portuguese voice: its data, loaded from
// one directory, and the path from raw text to phoneme lines.
#pragma once
#include <string>
#include <string_view>

#include "tts/abbreviations.h"
#include "tts/exceptions.h"
#include "tts/letter_rules.h"
#include "tts/prosody_config.h"

namespace tts {

// Where the engine's settings put the data by default, and the files' base name.
inline constexpr std::string_view kDefaultDataDir = "\\audiwin\\auroratts\\";
inline constexpr std::string_view kDefaultBaseName = "portug";

struct FrontEnd {
  AbbreviationTable abbreviations;
  RuleTable rules;
  ExceptionTable exceptions;
  ProsodyConfig prosody;
};

// dir + base + ".nrl", ".exc", ".abr" and ".pro"; `dir` ends with a
// separator. The prosody file is optional here: without it every word has
// class "XX" and code "555". False when a required file cannot be read or the
// prosody file is there but cannot be loaded.
bool loadFrontEnd(std::string_view dir, std::string_view base, FrontEnd& frontEnd,
                  DataProblems* problems = nullptr);

struct FrontEndResult {
  std::string normalised;
  PhonemeLines lines;
  std::string unhandled;  // letters no rule took, in order met
};

// normaliseText, tokenise, codeProsody and wordsToPhonemeLines.
FrontEndResult textToPhonemeLines(std::string_view text, const FrontEnd& frontEnd);

}  // namespace tts
