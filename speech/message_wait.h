// Every wait of speech and sound: serve the console's events while a
// condition holds. A key, a finished block or a wake-up ends each step at once.
#pragma once

namespace speech {

void waitWhile(bool (*busy)());

}  // namespace speech
