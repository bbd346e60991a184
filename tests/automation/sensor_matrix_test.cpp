// The sensor matrix against a port simulated as data: which switches are
// closed, and the status lines' resting state.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "automation/sensor_matrix.h"

namespace {

// Switch n closes column (n - 1) % 4 onto row (n - 1) / 4: while that row's
// data line is driven low, the column's status line reads the other way.
// Any other data leaves the status lines at rest. Every access is logged.
class SimulatedPort final : public automation::ParallelPort {
 public:
  SimulatedPort(std::set<int> closed, uint8_t rest, std::vector<std::string>& log)
      : closed_(std::move(closed)), rest_(rest), log_(log) {}
  void writeData(uint8_t v) override {
    data_ = v;
    log_.push_back("data " + std::to_string(v));
  }
  void writeControl(uint8_t v) override { log_.push_back("control " + std::to_string(v)); }
  uint8_t readStatus() override {
    log_.push_back("status");
    uint8_t status = rest_;
    for (int row = 0; row < 8; ++row) {
      if (data_ != (0xFF ^ (0x80 >> row))) continue;
      for (int n : closed_) {
        if ((n - 1) / 4 == row) status ^= static_cast<uint8_t>(0x80 >> ((n - 1) % 4));
      }
    }
    return status;
  }

 private:
  std::set<int> closed_;
  uint8_t rest_;
  uint8_t data_ = 0;
  std::vector<std::string>& log_;
};

TEST(SensorMatrix, FindsTheLowestClosedSwitch) {
  struct Case {
    std::set<int> closed;
    uint8_t rest;
    int first;
  } cases[] = {
      {{}, 0x78, 0},       {{3, 7}, 0x78, 3},   {{7, 3}, 0x00, 3},   {{1}, 0xFF, 1},
      {{4}, 0x87, 4},      {{5}, 0x78, 5},      {{32}, 0x78, 32},    {{29, 30, 31, 32}, 0x0F, 29},
      {{12, 20}, 0x5A, 12},
  };
  for (const Case& c : cases) {
    std::vector<std::string> log;
    automation::SensorMatrix matrix(std::make_unique<SimulatedPort>(c.closed, c.rest, log));
    EXPECT_EQ(matrix.firstActive(), c.first) << "first of " << c.closed.size() << " at rest " << int{c.rest};
    // The switches stay where they are: a second scan agrees.
    EXPECT_EQ(matrix.firstActive(), c.first);
  }
}

TEST(SensorMatrix, DrivesOneRowLowAtATime) {
  std::vector<std::string> log;
  automation::SensorMatrix matrix(std::make_unique<SimulatedPort>(std::set<int>{}, 0x78, log));
  std::vector<std::string> expected = {"control 255", "data 1", "status"};
  EXPECT_EQ(log, expected);
  log.clear();
  matrix.firstActive();
  expected.clear();
  for (int row = 0; row < 8; ++row) {
    expected.insert(expected.end(), {"control 255", "data " + std::to_string(0xFF ^ (0x80 >> row)), "status"});
  }
  EXPECT_EQ(log, expected);
}

}  // namespace
