// What the run loop hands its reporter: a failed command's message once and
// before the execution-error report, DEBUG's notices, and the end.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/engine.h"
#include "engine/recording_reporter.h"

namespace {

struct RunCase {
  std::vector<std::string> lines;
  std::vector<std::string> reports;
  bool ok;
};

TEST(RunReports, MessagesComeOnceAndBeforeTheEnd) {
  const RunCase cases[] = {
      {{"seja a 1"}, {"end"}, true},
      {{"termina mudo", "seja a 1"}, {"end, mute"}, true},
      {{"seja a 1", "escreva a"}, {"failure: Comando inv\xE1lido: ESCREVA", "execution error at 2"}, false},
      {{"seja a 4", "divide a 0"}, {"failure: Divis\xE3o por zero", "execution error at 2"}, false},
      // A command behind a one-line SE fails; its message is said once.
      {{"se 1 = 1 retorna"}, {"failure: Retorno sem chamada", "execution error at 1"}, false},
      {{"se 1 = 1 se 2 = 2 retorna"}, {"failure: Retorno sem chamada", "execution error at 1"}, false},
      // A failure without a message: the report alone.
      {{"seja a 1", "seja"}, {"execution error at 2"}, false},
      {{"debug", "seja a 1", "debug -"},
       {"debug: Debug ligado", "debug: SEJA a 1", "debug: DEBUG -", "debug: Debug desligado", "end"}, true},
  };
  for (const RunCase& c : cases) {
    // A fresh interpreter each: nothing of a run (TERMINA MUDO, DEBUG) leaks
    // into the next.
    testsupport::RecordingReporter reporter;
    engine::Interp in(reporter);
    for (size_t i = 0; i < c.lines.size(); ++i) ASSERT_TRUE(engine::storeLine(in, c.lines[i], static_cast<int>(i) + 1));
    EXPECT_EQ(engine::runProgram(in), c.ok) << c.lines[0];
    EXPECT_EQ(reporter.reports, c.reports) << c.lines[0];
  }
}

}  // namespace
