#include "tts/tokenise.h"

#include "tts/chars.h"

namespace tts {

std::vector<Token> tokenise(std::string_view text, const ProsodyConfig& config) {
  std::vector<Token> tokens;
  tokens.push_back({std::string(kSentenceClass), ""});
  size_t pos = 0;
  while (pos < text.size()) {
    const unsigned char c = static_cast<unsigned char>(text[pos]);
    // A hyphen as its own token would take the class "--" of a sentence
    // boundary and break the word's prosody in two sentences.
    if (c == ' ' || c == '-') {
      ++pos;
      continue;
    }
    if (c == '.' && pos + 1 < text.size() && text[pos + 1] == '.') {
      while (pos < text.size() && text[pos] == '.') ++pos;
      tokens.push_back({".-", "."});
    } else if (!isWordLetter(c)) {
      tokens.push_back({std::string(2, static_cast<char>(c)), std::string(1, static_cast<char>(c))});
      ++pos;
    } else {
      const size_t start = pos;
      while (pos < text.size() && isWordLetter(static_cast<unsigned char>(text[pos]))) ++pos;
      const std::string_view word = text.substr(start, pos - start);
      tokens.push_back({std::string(keywordClass(config, upperLatin1(word))), std::string(word)});
    }
    const char first = tokens.back().text[0];
    if (first == '!' || first == '.' || first == '?') tokens.push_back({std::string(kSentenceClass), ""});
  }
  return tokens;
}

}  // namespace tts
