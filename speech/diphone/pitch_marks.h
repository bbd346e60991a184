// Where a pitch period of the recorded voice starts. The voice's units are
// cut at these marks when they are made, and a unit shortened while speaking
// ends at one, so that two voiced stretches join period to period, with no
// click and no step in the waveform.
#pragma once
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace speech {

// The longest pitch period looked at: 70 Hz at 11025 Hz.
inline constexpr size_t kLongestPeriod = 158;

// The mark of the period holding the loudest sample of [from, to) of 8-bit
// unsigned sound: the last rising crossing of the centre (128) before that
// sample, at most `longest` before it. `to` when the stretch is too quiet to
// be voiced or has no crossing.
size_t periodStart(std::span<const uint8_t> sound, size_t from, size_t to, size_t longest = kLongestPeriod);

// Where a stretch cut short should end: the mark of its last period when it
// ends voiced, else its whole length.
size_t voicedEnd(std::span<const uint8_t> sound);

// Every period mark of a voice said on one pitch, whose period is `period`
// samples, one after the other; where the sound is too quiet to be voiced,
// marks go on every `period` samples, so that all of it can be cut into
// grains and re-spaced.
std::vector<size_t> periodMarks(std::span<const uint8_t> sound, size_t period);

}  // namespace speech
