#include "engine/disk_reserve.h"

#include <algorithm>
#include <string>

#include "engine/number.h"
#include "engine/text.h"
#include "platform/base/disk_space.h"
#include "settings/settings.h"

namespace engine {

constexpr uint64_t kMiB = uint64_t{1} << 20;
constexpr uint64_t kDefaultFloor = 1024 * kMiB;

std::optional<uint64_t> configuredDiskReserve() {
  int32_t mib;
  if (!numberValue(trim(settings::readSetting("ESCUTA", "RESERVADISCO")), mib) || mib < 0) return std::nullopt;
  return static_cast<uint64_t>(mib) * kMiB;
}

uint64_t diskReserve(std::optional<uint64_t> configured, uint64_t fsSize) {
  return configured ? *configured : std::max(kDefaultFloor, fsSize / 20);
}

size_t roomAboveReserve(int fd, std::optional<uint64_t> configured, size_t wanted) {
  platform::DiskSpace space;
  if (!platform::diskSpaceOf(fd, space)) return wanted;
  const uint64_t reserve = diskReserve(configured, space.size);
  if (space.free <= reserve) return 0;
  // Whole units only: a part-filled unit at the file's end then never makes
  // the write take more than this.
  const uint64_t room = (space.free - reserve) / space.unit * space.unit;
  return static_cast<size_t>(std::min<uint64_t>(room, wanted));
}

}  // namespace engine
