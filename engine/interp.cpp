#include "engine/interp.h"

namespace engine {

Interp::Interp(Reporter& r) : reporter(r), started(localNow()) {}

Interp::~Interp() {
  for (int n = 0; n < kChannels; ++n) (void)closeChannel(*this, n);
}

int currentLine(const Interp& in) { return in.run.line; }
void setCurrentLine(Interp& in, int line) { in.run.line = line; }

int32_t channelStatus(const Interp& in) { return in.run.channelStatus; }
void setChannelStatus(Interp& in, int32_t status) { in.run.channelStatus = status; }

const std::vector<std::string>& params(const Interp& in) { return in.params; }
const WallTime& startTime(const Interp& in) { return in.started; }

LibraryStates& libraryStates(Interp& in) { return in.libraries; }

}  // namespace engine
