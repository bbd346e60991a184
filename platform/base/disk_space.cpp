#include "platform/base/disk_space.h"

#include <sys/statvfs.h>

namespace platform {

bool diskSpaceOf(int fd, DiskSpace& space) {
  struct statvfs s{};
  if (::fstatvfs(fd, &s) != 0 || s.f_frsize == 0) return false;
  space.free = static_cast<uint64_t>(s.f_bavail) * s.f_frsize;
  space.size = static_cast<uint64_t>(s.f_blocks) * s.f_frsize;
  space.unit = s.f_frsize;
  return true;
}

}  // namespace platform
