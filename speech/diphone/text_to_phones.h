// Text to the phone string of the diphone synthesizer: each word decomposed,
// replaced from the exceptions, stressed and rewritten by the rules, as
// "[k/A/ z/a^]"; a word of consonants only is spelled, "[ /_c]" a letter.
#pragma once
#include <string>
#include <string_view>

#include "speech/diphone/diphone_exceptions.h"
#include "speech/diphone/diphone_rules.h"

namespace speech {

struct DiphoneText {
  DiphoneRules rules;
  DiphoneExceptions exceptions;
};

// Windows-1252 text to its phone string. Letters no rule took are appended
// to `unhandled` when given.
std::string textToPhones(const DiphoneText& voice, std::string_view text, std::string* unhandled = nullptr);

}  // namespace speech
