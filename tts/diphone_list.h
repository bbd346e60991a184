// The voice's diphone list (.dfn): which phoneme pairs the synthesizer can
// say. A pair it lacks is bridged by a short pause or glide, so that no
// phoneme is dropped or replaced by whatever the synthesizer makes of it.
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "tts/data_file.h"

namespace tts {

struct DiphoneList {
  std::vector<std::string> names;  // "A-B", upper-cased, sorted
};

// One diphone a line: its first name, one separator, its second name, then
// anything. Empty lines and lines starting with "!", "*" or ";" are skipped.
// A line without two names is a problem and is skipped. False when the file
// cannot be read.
bool loadDiphoneList(std::string_view path, DiphoneList& list, DataProblems* problems = nullptr);

// Whether first-second is listed, without regard to case.
bool hasDiphone(const DiphoneList& list, std::string_view first, std::string_view second);

}  // namespace tts
