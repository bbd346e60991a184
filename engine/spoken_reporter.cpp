#include "engine/spoken_reporter.h"

#include "console/keyboard.h"
#include "console/screen.h"
#include "engine/text.h"
#include "platform/transcript.h"
#include "speech/speech_service.h"

namespace engine {

void SpokenReporter::failure(std::string_view message) { speech::sayLine(message); }

void SpokenReporter::debug(std::string_view line) { speech::sayLine(line); }

void SpokenReporter::end(bool mute) {
  platform::transcriptEvent("END", "");
  if (!mute) speech::speakText("Fim do script");
}

void SpokenReporter::executionError(int line) {
  platform::transcriptEvent("ERROR", decimal(line));
  speech::speakText("Erro de execu\xE7\xE3o na linha ");
  speech::sayNumber(line);
  console::writeText("\r\n");
  console::readLineBasic();
}

}  // namespace engine
