// The free space a download leaves on its file system, so that a stream
// without end never fills the disk: [ESCUTA] RESERVADISCO in MiB, or by
// default 1 GiB or 5 % of the file system, whichever is larger.
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>

namespace engine {

// The reserve Escuta.ini sets, in bytes; none when it is missing, unreadable
// or negative.
std::optional<uint64_t> configuredDiskReserve();

// The reserve on a file system of `fsSize` bytes.
uint64_t diskReserve(std::optional<uint64_t> configured, uint64_t fsSize);

// How many of `wanted` bytes may be written to `fd` with its file system's
// free space staying at or above the reserve; all of them when the system
// cannot tell.
size_t roomAboveReserve(int fd, std::optional<uint64_t> configured, size_t wanted);

}  // namespace engine
