// The build's check that the voice's rules and data fit together: every word
// of a word list is turned into phones, and every name the synthesizer would
// look up for them must be in the database or among the letter files.
#pragma once
#include <set>
#include <string>
#include <vector>

#include "speech/diphone/text_to_phones.h"

namespace difones {

struct Coverage {
  size_t words = 0;
  // A missing name, or a letter no rule takes, with how many words need it
  // and the first such word.
  struct Gap {
    size_t count = 0;
    std::string example;
  };
  std::vector<std::pair<std::string, Gap>> missing;  // most needed first
  std::vector<std::pair<std::string, Gap>> unhandled;
};

// Windows-1252 words. `units` holds index names ("$KA"), `letters` letter
// names ("_99").
Coverage checkCoverage(const speech::DiphoneText& voice, const std::vector<std::string>& words,
                       const std::set<std::string>& units, const std::set<std::string>& letters);

}  // namespace difones
