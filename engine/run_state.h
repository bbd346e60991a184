// Where a run is: the line, the calls to return from, and how it ends.
#pragma once
#include <array>
#include <cstdint>

namespace engine {

constexpr int kMaxCalls = 20;

struct RunState {
  int line = 1;             // the line being executed
  bool error = false;       // a command failed: the run ends
  bool stop = true;         // TERMINA, or no run in progress
  bool muteAtEnd = false;   // TERMINA MUDO: no spoken end
  bool debug = false;       // DEBUG: every command is shown and said first
  int callDepth = 0;
  std::array<int, kMaxCalls> calls{};  // return points of CHAMA
  int32_t channelStatus = 0;           // read by CHECA
};

}  // namespace engine
