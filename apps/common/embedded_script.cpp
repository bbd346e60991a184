#include "embedded_script.h"

#include "script_program.h"

namespace app {

bool storeEmbeddedScript(const std::vector<std::string>&, std::string& error) {
  return storeLines(kEmbeddedScript.lines, kEmbeddedScript.count, error);
}

}  // namespace app
