// The parallel port's three registers, as the sensor matrix drives them: an
// interface, so that a test can give the matrix a port of its own.
#pragma once
#include <cstdint>
#include <memory>

namespace automation {

// The port that Linux's ppdev gives the first parallel port.
inline constexpr char kParallelPortDevice[] = "/dev/parport0";

class ParallelPort {
 public:
  virtual ~ParallelPort() = default;
  // Each write has taken effect on the lines when it returns.
  virtual void writeData(uint8_t value) = 0;
  virtual void writeControl(uint8_t value) = 0;
  virtual uint8_t readStatus() = 0;
};

// The device through ppdev, claimed for this program until it is let go;
// null when there is none or it cannot be claimed.
std::unique_ptr<ParallelPort> openParallelPort(const char* device);

}  // namespace automation
