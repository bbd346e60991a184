#include "automation/parallel_port.h"

#include <fcntl.h>
#include <linux/ppdev.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <chrono>
#include <thread>

namespace automation {
namespace {

// The lines settle, and the switches behind them answer, within a millisecond.
constexpr auto kSettle = std::chrono::milliseconds(1);

class PpdevPort final : public ParallelPort {
 public:
  explicit PpdevPort(int fd) : fd_(fd) {}
  ~PpdevPort() override {
    ioctl(fd_, PPRELEASE);
    ::close(fd_);
  }

  void writeData(uint8_t value) override { write(PPWDATA, value); }
  void writeControl(uint8_t value) override { write(PPWCONTROL, value); }
  uint8_t readStatus() override {
    unsigned char value = 0;
    ioctl(fd_, PPRSTATUS, &value);
    return value;
  }

 private:
  void write(unsigned long request, uint8_t value) {
    unsigned char byte = value;
    ioctl(fd_, request, &byte);
    std::this_thread::sleep_for(kSettle);
  }

  int fd_;
};

}  // namespace

std::unique_ptr<ParallelPort> openParallelPort(const char* device) {
  const int fd = ::open(device, O_RDWR | O_CLOEXEC);
  if (fd < 0) return nullptr;
  if (ioctl(fd, PPCLAIM) != 0) {
    ::close(fd);
    return nullptr;
  }
  return std::make_unique<PpdevPort>(fd);
}

}  // namespace automation
