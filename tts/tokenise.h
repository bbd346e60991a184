// Splitting normalised text into words and punctuation, each with the class
// the prosody rules look at.
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "tts/prosody_config.h"

namespace tts {

struct Token {
  std::string cls;   // two characters: a keyword class, "XX", ",," for a comma...
  std::string text;  // empty for the sentence boundary "--"
};

inline constexpr std::string_view kSentenceClass = "--";

// Starts with a sentence boundary, and puts another after each token that
// begins with "!", "." or "?". A run of full stops is one token of class ".-"
// and text "."; any other character that is no word letter is a token of its
// own, classed by itself twice. Hyphens are left between the parts of a
// hyphenated word only: they separate words, like spaces.
std::vector<Token> tokenise(std::string_view text, const ProsodyConfig& config);

}  // namespace tts
