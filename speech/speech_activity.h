// Whether anything is still being said, the waits every speaking part uses,
// and stopping it all when the user presses a key.
#pragma once
#include <cstdint>
#include <span>

namespace speech {

// No synthesizer active, the synthesizer-speaking flag set (so the first
// recorded sound waits for anything said before), no stop requested.
void startSpeechActivity();

// Serves pending events. A waiting key stops everything and gives false;
// otherwise whether the wave player, or an active synthesizer, is busy.
bool isSpeaking();
// Waits until isSpeaking is false.
void waitWhileSpeaking();

// Lets an utterance of the synthesizer end before recorded sound plays.
void waitForSynth();

// waitForSynth, the image, then waitWhileSpeaking.
void playImageAndWait(std::span<const uint8_t> image);

// Drops everything the wave player holds, stops a busy synthesizer (the
// built-in engine always), requests the recorded-speech loop to stop, and
// wakes any wait.
void stopSpeech();

// Kept for the speech service: a synthesizer opened, text handed to it, the
// stop request its recorded-speech loop checks.
void setSynthActive(bool active);
bool synthActive();
void setSynthSpeaking();
bool stopRequested();
void clearStopRequest();

}  // namespace speech
