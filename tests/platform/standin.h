// Stand-ins started for the tests of which running programs a program sees:
// each under a name of the test's own, with the environment, command line
// and working directory it is given, and ended with the test.
#pragma once
#include <sys/types.h>

#include <string>
#include <vector>

#include "support/scratch.h"

namespace standin {

struct Start {
  std::string name = {};               // the stand-in's file name
  std::vector<std::string> args = {};  // after the program
  std::vector<std::string> env = {};   // NAME=value, the whole environment
  std::string cwd = {};                // empty: the scratch folder
};

class Programs {
 public:
  ~Programs();
  // Starts a copy of the stand-in named as asked, once it runs as that copy.
  pid_t start(const Start& s);
  // Runs a program to its end with this environment; its exit status, -1
  // when a signal ended it. Its standard error goes to errors.txt.
  int run(const std::string& file, const std::vector<std::string>& args, const std::vector<std::string>& env);
  // Whether the program started here still runs (an ended one is reaped).
  bool running(pid_t pid);
  const testsupport::ScratchDir& dir() const { return dir_; }

 private:
  testsupport::ScratchDir dir_;
  std::vector<pid_t> started_;
};

}  // namespace standin
