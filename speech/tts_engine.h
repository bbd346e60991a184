// The built-in Portuguese engine, synthesizer kind 3: text through the front
// end (tts/), durations and pitch points, bridges for missing diphones, and
// MBROLA, whose samples are queued in the wave player piece by piece so that
// speech starts while the rest is still being made. Where MBROLA is not
// installed, our own renderer (tts/psola.h) says the same lines from our
// diphone units.
#pragma once
#include <string_view>

#include "speech/synth_dispatch.h"

namespace speech {

// The driver the dispatcher routes kind 3 to. Its open reads section
// AURORATTS (MBROLA_DB, DIR, BASE); a failed open leaves the recorded voice.
const SynthDriver& engineDriver();

// Opens MBROLA on the database, or else loads our own units (the diphone
// list's name with ".uni"), and loads the five data files. A prosody file
// that cannot be loaded says why, each message waiting for Enter. False, with
// nothing left open, on any failure.
bool ttsOpen(std::string_view databasePath, std::string_view rulesPath, std::string_view exceptionsPath,
             std::string_view abbreviationsPath, std::string_view prosodyPath, std::string_view diphonesPath);
// Speaks a Windows-1252 text. False when MBROLA refused a line; the rest of
// the utterance is still said.
bool ttsSpeak(std::string_view text);
void ttsClose();
// The factors the speech settings give: pitch (p + 11) / 11, duration 0.8 - s / 15.
void setEngineFactors(int pitch, int speed);

}  // namespace speech
