// A private BRLTTY for the tests: its Virtual driver in server mode on a
// socket of a scratch folder, which the test connects to as the braille
// display (declaring its cells, reading the dots shown, pressing keys), and
// its BrlAPI on a host number and key file of its own, never the system's.
#pragma once
#include <sys/types.h>

#include <string>
#include <vector>

#include "support/scratch.h"

namespace testsupport {

class PrivateBrltty {
 public:
  explicit PrivateBrltty(int cells = 40);
  ~PrivateBrltty();  // SIGTERM, then SIGKILL when it does not go
  PrivateBrltty(const PrivateBrltty&) = delete;
  PrivateBrltty& operator=(const PrivateBrltty&) = delete;

  bool ready() const { return display_ >= 0; }
  // BRLAPI_HOST and BRLAPI_AUTH for a client, as a shell takes them.
  std::string environment() const;
  const std::string& host() const { return host_; }
  const std::string& keyFile() const { return keyFile_; }

  // Waits up to timeoutMs for the display to show `dots` (cells written as
  // BRLTTY does, "1|12| |3456"), the cells after them blank.
  bool waitFor(const std::string& dots, int timeoutMs = 10000);
  // Waits up to timeoutMs for the display to show anything but `dots`.
  bool waitForOther(const std::string& dots, int timeoutMs = 10000);
  // The cells shown last, in the same notation, trailing blank cells left out.
  const std::string& shown() const { return shown_; }
  // A command of the display: "LnUp", "PassDots 11", "Route 4" ...
  void press(const std::string& command);

 private:
  bool readLine(std::string& line, int timeoutMs);
  bool waitUntil(const std::string& dots, bool same, int timeoutMs);

  ScratchDir dir_;
  std::string host_;
  std::string keyFile_;
  pid_t pid_ = -1;
  int display_ = -1;
  std::string pending_;
  std::string shown_;
};

}  // namespace testsupport
