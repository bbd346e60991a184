// Up to 32 switches wired to the parallel port as 8 rows of 4: each row is
// one data line driven low in turn, each column one status line. Sensor n
// (1..32) is row (n - 1) / 4, column (n - 1) % 4.
#pragma once
#include <cstdint>
#include <memory>

#include "automation/parallel_port.h"

namespace automation {

class SensorMatrix {
 public:
  // Reads the status lines' resting state, against which scans are read.
  explicit SensorMatrix(std::unique_ptr<ParallelPort> port);

  // The number of the first switch closed, lowest first, or 0 for none.
  int firstActive();

 private:
  std::unique_ptr<ParallelPort> port_;
  uint8_t baseline_ = 0;
};

}  // namespace automation
