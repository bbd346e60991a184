// Runs controls_probe headless with a key script, as a user would, and
// collects what it printed, its transcript and its screen.
#pragma once
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/scratch.h"

namespace controlstest {

struct Outcome {
  int status;
  std::string output;  // what the probe printed, errors included
  // Transcript events as "NAME text"; the console's writes and the keys
  // taken are left out, pieces and letters are named without folder and
  // extension ("PLAY _97").
  std::vector<std::string> events;
  std::vector<std::string> screen;  // the 25 rows
  double seconds;                   // wall time of the run
};

class ProbeTest : public ::testing::Test {
 protected:
  Outcome run(const std::vector<std::string>& actions, const std::string& keys);
  // Whether `events` holds `wanted` in this order (others may come between).
  static bool inOrder(const std::vector<std::string>& events, const std::vector<std::string>& wanted);
  static int countOf(const std::vector<std::string>& events, const std::string& event);

  // Speech at 1.5 times the rate keeps the runs short.
  std::string ini_ = "[ESCUTA]\nFALANDO=Sim\nFALARTUDO=Sim\n[SINTETIZADOR]\nRAPIDINHO3=Sim\n";
  std::string extraEnv_;
  testsupport::ScratchDir scratch_;
};

}  // namespace controlstest
