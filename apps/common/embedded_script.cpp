#include "embedded_script.h"

#include "script_program.h"

namespace app {

bool storeEmbeddedScript(engine::Interp& in, const std::vector<std::string>&, std::string& error) {
  return storeLines(in, kEmbeddedScript.lines, kEmbeddedScript.count, error);
}

}  // namespace app
