// roteiro: the runtime with a script file instead of an embedded script.
#include "apps/common/script_program.h"
#include "script_file.h"

namespace {

const char* const kUsage =
    "[--check] SCRIPT [PARAMS...]\n"
    "\n"
    "Runs a script of the Escuta language: a text file in Windows-1252 (UTF-8 is\n"
    "recognised and converted) of at most 5000 lines. What the script writes is\n"
    "shown and spoken; PARAMS are what \"SEJA x PARAMS\" gives it, spaces as %20.\n";

bool storeScript(engine::Interp& in, const std::vector<std::string>& args, std::string& error) {
  if (args.empty()) {
    error = "no SCRIPT given (roteiro --help tells more)";
    return false;
  }
  return loadScriptFile(in, args[0], error);
}

}  // namespace

int main(int argc, char** argv) {
  return app::runScriptProgram(argc, argv, {"roteiro", kUsage, storeScript, nullptr, 1});
}
