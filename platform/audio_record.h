// The --audio-out recording: everything the device played, in order, as one
// WAV file. Silence between sounds is left out, so a run's recording does not
// depend on how fast the program went.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

namespace platform {

// Creates the file, holding no sound yet. False when it cannot be written.
bool openAudioRecord(const std::string& path);
bool audioRecordOpen();

// Appends sound the device played, 16-bit at `rate` and `channels`. The first
// call fixes the file's format, with `bits` per sample; later sound is
// converted to it. The header is kept current, so a killed program leaves a
// complete file. Callers serialise calls (the device's lock).
void recordAudio(const int16_t* samples, size_t frames, int rate, int channels, int bits);

}  // namespace platform
