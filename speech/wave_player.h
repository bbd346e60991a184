// The wave player: every recorded and synthesized sound of the system goes
// through it to the one wave device, in blocks of at most 8192 bytes, at most
// 16 queued. A key waiting in the console's queue stops it at the next check,
// and the key stays queued for whoever reads keys next.
#pragma once
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace speech {

constexpr int kWaveBlocks = 16;
constexpr size_t kWaveBlockSize = 8192;

// The player's initial state: no device open, nothing queued, speed-ups off.
// Picks the output device named by SAIDADEAUDIO, reads BIPSCLECSCURTOS for
// the click and the beep, and takes the device's finished blocks from the
// console. Call once the platform has started.
void startWavePlayer();

// Plays a .wav file (a Windows path) and waits until it has been played or a
// key stopped it. 0 when played, -1 when the file cannot be opened or is not
// a playable wave, else the device's error. With pitch cutting on, a ready
// cut version in the sub-directory "rapido" is played instead, uncut.
int playWaveFile(std::string_view path);

// Queues a wave image (header and PCM) without waiting. 0, -1 when it does
// not parse, else the device's error.
int playWaveImage(std::span<const uint8_t> image);

// Queues PCM with the speed-ups applied, in blocks of at most 8192 bytes.
// 0 (also when a key stopped it) or the device's error.
int playPcm(std::span<const uint8_t> data, int rate, int channels, int bits);

// Queues a synthesizer's PCM as it comes, without the speed-ups (the voice
// has its own rate) and without waiting for the device: what the device
// cannot take yet is kept, and handed on in full blocks as blocks come back,
// so the program goes on while the voice speaks. Past about 24 s of sound
// kept it waits, like playPcm, for room or a key. 0 or the device's error.
int streamPcm(std::span<const uint8_t> data, int rate, int channels, int bits);
// The utterance is whole: what is kept may go out in a short last block.
void endStream();

// Serves pending events and tells whether blocks are still queued (or kept
// from a stream); a waiting key stops playback first.
bool waveBusy();

// Drops everything queued, and kept from a stream, at once.
void waveStop();

// Readies the device for a format; a change waits for the queue to drain
// first. 0 or the device's error.
int setWaveFormat(int rate, int bits, int channels);

// Output device names, in device-number order, Windows-1252, trimmed.
std::vector<std::string> listWaveDevices();
// The device SAIDADEAUDIO chose, -1 for the default.
int waveDeviceNumber();

// The speed-ups of RAPIDINHO (1.5 times the rate) and CORTAFALA (pitch-period
// cutting), set per speech speed.
void setFastRate(bool on);
void setPitchCutting(bool on);
bool pitchCutting();
bool fastRate();

// 2 when the click and the beep are short, else 1; and the click made at start.
int clickDivisor();
const std::vector<uint8_t>& clickSound();

// The size of the next piece of a file's data when `left` bytes remain: at
// most 8192, but 7936 when 8193 to 8447 remain, so that no last piece is
// shorter than 257 bytes.
size_t filePieceSize(uint64_t left);

}  // namespace speech
