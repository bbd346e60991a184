// Giving each token its three-digit prosody code from its own class and its
// neighbours' (the digits select pitch levels for the word's start, its
// stressed syllable and its end).
#pragma once
#include <string>
#include <vector>

#include "tts/prosody_config.h"
#include "tts/tokenise.h"

namespace tts {

struct CodedToken {
  std::string code;  // three characters, normally digits
  std::string text;  // as in the token
};

// The first rule, in file order, whose non-empty fields equal the previous,
// current and next classes gives the code; "555" when none does. A leading
// "?" takes the previous token's last digit ("5" for the first token).
std::vector<CodedToken> codeProsody(const std::vector<Token>& tokens, const ProsodyConfig& config);

}  // namespace tts
