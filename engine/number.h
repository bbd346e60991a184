// The number rule: how a script value reads as a 32-bit signed integer.
#pragma once
#include <cstdint>
#include <string_view>

namespace engine {

// Valid: spaces, then a signed decimal number within 32 bits, or a hex prefix
// ("$", "x", "X", "0x", "0X") and one to eight hex digits taken as the 32-bit
// pattern. Nothing may follow, not even a blank.
bool numberValue(std::string_view text, int32_t& value);

}  // namespace engine
