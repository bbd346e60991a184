// Runs a script text with roteiro, headless, in a scratch folder, and gives
// what the user would have seen: the shown lines, the pictures and the
// programs started, up to the execution-error report.
#pragma once
#include <string>

#include "support/scratch.h"

namespace testsupport {

struct ScriptRun {
  std::string seen;  // "SHOW text" / "PICTURE where" / "RUN program" / "ERROR line", one per line
  int status = -1;
};

// `environment` is put before the command, as a shell takes it; `settings`
// are more lines of section [ESCUTA] of Escuta.ini.
ScriptRun runScript(const ScratchDir& dir, const std::string& script, const std::string& environment = "LC_ALL=C",
                    const std::string& settings = "");

}  // namespace testsupport
