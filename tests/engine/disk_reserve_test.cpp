// The disk reserve a download keeps: the setting wins, else the larger of
// 1 GiB and 5 % of the file system.
#include "engine/disk_reserve.h"

#include <gtest/gtest.h>

namespace {

constexpr uint64_t kMiB = uint64_t{1} << 20, kGiB = kMiB << 10;

TEST(DiskReserve, SettingElseTheLargerOfOneGigabyteAndFivePercent) {
  struct Case {
    std::optional<uint64_t> configured;
    uint64_t fsSize, reserve;
  } const cases[] = {
      {std::nullopt, 16 * kMiB, kGiB},   {std::nullopt, 20 * kGiB, kGiB}, {std::nullopt, 100 * kGiB, 5 * kGiB},
      {4 * kMiB, 100 * kGiB, 4 * kMiB}, {0, 100 * kGiB, 0},             {2 * kGiB, 16 * kMiB, 2 * kGiB},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(engine::diskReserve(c.configured, c.fsSize), c.reserve) << c.fsSize;
  }
}

}  // namespace
