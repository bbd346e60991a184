// Where the run loop sends what the engine itself has to tell: a failed
// command's message, the DEBUG notices, the end of the run and the
// execution-error report. A program passes one that speaks
// (engine/spoken_reporter.h); a test passes one that records.
#pragma once
#include <string_view>

namespace engine {

class Reporter {
 public:
  virtual ~Reporter() = default;
  // A command failed saying why, or named no command ("Comando inválido: X")
  // or one not built yet.
  virtual void failure(std::string_view message) = 0;
  // DEBUG's own notice, and with DEBUG on each command before it runs.
  virtual void debug(std::string_view line) = 0;
  // The run ended normally; `mute` after TERMINA MUDO.
  virtual void end(bool mute) = 0;
  // The run ended because the command on `line` failed.
  virtual void executionError(int line) = 0;
};

}  // namespace engine
