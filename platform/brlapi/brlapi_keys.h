// What a key that BRLTTY reports means to the console.
#pragma once
#include <cstdint>
#include <optional>

#include "platform/events.h"

namespace platform {

// The console's key for a BrlAPI key code; none for the codes that are no
// key press of the user (BRLTTY restarting its driver, and the like).
std::optional<BrailleKey> brailleKeyOf(uint64_t code);

}  // namespace platform
