// Runs controls_probe, or roteiro with a script, headless with a key script
// as a user would, and collects what it printed, its transcript and its
// screen.
#pragma once
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/scratch.h"

namespace controlstest {

struct Outcome {
  int status;
  std::string output;  // what the probe printed, errors included
  // Transcript events as "NAME text"; the keys taken are left out, pieces
  // and letters are named without folder and extension ("PLAY _97"), and
  // the console's writes only when they hold more than blanks and line ends
  // (the controls redraw their fields at every key).
  std::vector<std::string> events;
  std::vector<std::string> screen;  // the 25 rows
  double seconds;                   // wall time of the run
};

class ProbeTest : public ::testing::Test {
 protected:
  Outcome runProgram(const std::string& program, const std::string& arguments, const std::string& keys);
  Outcome run(const std::vector<std::string>& actions, const std::string& keys);
  // roteiro runs the script (lines in UTF-8); `options` come before it.
  Outcome runScript(const std::string& script, const std::string& keys, const std::string& options = "");
  // Whether `events` holds `wanted` in this order (others may come between).
  static bool inOrder(const std::vector<std::string>& events, const std::vector<std::string>& wanted);
  static int countOf(const std::vector<std::string>& events, const std::string& event);

  // Speech at 1.5 times the rate keeps the runs short.
  std::string ini_ = "[ESCUTA]\nFALANDO=Sim\nFALARTUDO=Sim\n[SINTETIZADOR]\nRAPIDINHO3=Sim\n";
  std::string extraEnv_;  // VARIABLE=value ... for the program's environment
  // The headless clock runs this many times faster; a test that measures
  // the wall time of a run sets it to 1.
  int clockSpeed_ = 10;
  testsupport::ScratchDir scratch_;
};

}  // namespace controlstest
