#include "automation/sensor_matrix.h"

#include <bit>

namespace automation {
namespace {

constexpr int kRows = 8;
constexpr int kColumns = 4;
constexpr uint8_t kControlIdle = 255;

}  // namespace

SensorMatrix::SensorMatrix(std::unique_ptr<ParallelPort> port) : port_(std::move(port)) {
  port_->writeControl(kControlIdle);
  port_->writeData(1);
  baseline_ = port_->readStatus();
}

int SensorMatrix::firstActive() {
  // Every row is scanned, as the wiring expects, before the first is chosen.
  uint32_t closed = 0;  // bit n - 1 for sensor n
  for (int row = 0; row < kRows; ++row) {
    port_->writeControl(kControlIdle);
    port_->writeData(static_cast<uint8_t>(0xFF ^ (0x80 >> row)));
    const uint8_t changed = port_->readStatus() ^ baseline_;
    // Columns 1 to 4 are the status port's four top bits, highest first.
    for (int column = 0; column < kColumns; ++column) {
      if (changed & (0x80 >> column)) closed |= 1u << (row * kColumns + column);
    }
  }
  return closed ? std::countr_zero(closed) + 1 : 0;
}

}  // namespace automation
