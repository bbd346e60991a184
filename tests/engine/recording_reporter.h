// A reporter that keeps what the engine reports, one line per report, for a
// test to compare.
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "engine/reporter.h"

namespace testsupport {

class RecordingReporter final : public engine::Reporter {
 public:
  void failure(std::string_view message) override { add("failure: ", message); }
  void debug(std::string_view line) override { add("debug: ", line); }
  void end(bool mute) override { reports.push_back(mute ? "end, mute" : "end"); }
  void executionError(int line) override { reports.push_back("execution error at " + std::to_string(line)); }

  std::vector<std::string> reports;

 private:
  void add(std::string_view kind, std::string_view text) { reports.push_back(std::string(kind).append(text)); }
};

}  // namespace testsupport
