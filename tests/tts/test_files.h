// Helpers shared by the front end's tests.
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "tts/front_end.h"

namespace tts_test {

// Test sources are UTF-8; the system's text is Windows-1252.
std::string cp(std::string_view utf8);
std::string utf8(std::string_view cp1252);

// Writes a file below the test's temporary directory and returns its path.
std::string writeTempFile(std::string_view name, std::string_view contents);

// Text with runs of blanks squeezed to one space and no blanks at the ends,
// so that tables compare words, not spacing.
std::string squeezed(std::string_view text);

// Lines each followed by "/", so that a table shows them on one line.
std::string joined(const std::vector<std::string>& lines);

// The voice data as the build staged it below the data root.
const tts::FrontEnd& stagedVoice();

// The phonemes of a text as "k >a z a2": phoneme lines only, without word
// markers, pauses and word ends.
std::string phonemesOf(std::string_view text);

}  // namespace tts_test
