// The click that confirms and the beep that refuses, played to their end.
#pragma once

namespace speech {

// Plays the click made at start, never cut.
void playClick();

// Discards the keys waiting first, so that the beep is not cut short at once.
void playBeep();

}  // namespace speech
