// Room on the file system that holds an open file, for writers that must
// stop before the disk is full.
#pragma once
#include <cstdint>

namespace platform {

struct DiskSpace {
  uint64_t free = 0;  // bytes an unprivileged writer may still use
  uint64_t size = 0;  // bytes of the whole file system
  uint64_t unit = 1;  // the allocation unit both are counted in
};

// The space of the file system holding `fd`; false when the system cannot
// tell.
bool diskSpaceOf(int fd, DiskSpace& space);

}  // namespace platform
