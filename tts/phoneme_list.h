// The voice's list of phoneme names (.fon): one name a line, then free text
// describing it; ";" starts a comment line. The rules may output only these.
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "tts/data_file.h"

namespace tts {

struct PhonemeList {
  std::vector<std::string> names;  // file order
};

// Names are one or two characters among letters, "@", "_" and "2" (what the
// diphone list reads), and differ without regard to case, as diphone names
// are compared. False when the file cannot be read.
bool loadPhonemeList(std::string_view path, PhonemeList& list, DataProblems* problems = nullptr);

// Letters, "@", "_" or "2", in either case.
bool isPhonemeNameChar(unsigned char c);

bool isListedPhoneme(const PhonemeList& list, std::string_view name);

}  // namespace tts
