// Spoken names of single characters, for spelling and for symbols in text.
#pragma once
#include <string_view>

namespace tts {

// Name of a Windows-1252 character, empty when it has none. A name may begin
// with a space that belongs to it (" sê").
std::string_view symbolName(unsigned char c);

}  // namespace tts
