#include "console/program.h"

#include "console/screen.h"
#include "platform/base/printable.h"
#include "platform/platform.h"

namespace console {

int startProgram(int argc, char** argv, const std::string& usage, platform::Options& options) {
  const int status = platform::start(argc, argv, usage, options);
  if (status < 0 && !setScreenOut(options.screenOut)) {
    platform::printError(platform::programName(), "cannot write the screen dump " + options.screenOut);
    return 2;
  }
  return status;
}

}  // namespace console
