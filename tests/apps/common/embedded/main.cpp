// A program whose script is built in: PARAMS are all its arguments.
#include "apps/common/embedded_script.h"
#include "apps/common/script_program.h"

int main(int argc, char** argv) {
  return app::runScriptProgram(argc, argv, {"embutido", "[PARAMS...]\n", app::storeEmbeddedScript, nullptr, 0});
}
