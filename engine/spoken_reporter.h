// The reporter of a program: every report written and spoken, as the user
// hears the engine.
#pragma once
#include "engine/reporter.h"

namespace engine {

class SpokenReporter final : public Reporter {
 public:
  // Written and spoken on a line of its own.
  void failure(std::string_view message) override;
  void debug(std::string_view line) override;
  // "Fim do script", unless muted.
  void end(bool mute) override;
  // "Erro de execução na linha N", then a wait for Enter.
  void executionError(int line) override;
};

}  // namespace engine
