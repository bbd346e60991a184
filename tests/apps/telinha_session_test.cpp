// The client's start, session, main menu and exit, run against the demo
// portal: what the user hears and sees, and what the portal receives.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "apps/telinha_run.h"

namespace {

using telinha_run::Machine;
using telinha_run::ClientRun;

class Session : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(telinha_run::start(m)); }
  void TearDown() override { telinha_run::stop(m); }
  Machine m;
};

// Whether `seen` holds each of the lines in order (others may come between).
::testing::AssertionResult inOrder(const std::string& seen, const std::vector<std::string>& lines) {
  size_t at = 0;
  for (const std::string& l : lines) {
    const size_t found = seen.find(l + "\n", at);
    if (found == std::string::npos) return ::testing::AssertionFailure() << "missing, in order: " << l << "\n" << seen;
    at = found + l.size();
  }
  return ::testing::AssertionSuccess();
}

TEST_F(Session, FirstStartRegistersCountsAndOpensTheMenuOnFilms) {
  const ClientRun r = runClient(m, "key Esc\nkey s\n");
  EXPECT_EQ(r.status, 0) << r.seen << r.stderrText;
  EXPECT_TRUE(inOrder(r.seen, {"SHOW Conectando ao Vitrine Aberta", "SHOW Conectado", "PLAY SOM\\\\TLABRE.WAV",
                               "SHOW Telinha  versão 3.0", "PLAY SOM\\\\TLINTRO.WAV", "SAY 3.0",
                               "TITLE Telinha - Menu de conteúdos", "MENU Filmes", "KEY #27",
                               "SHOW Confirma saída?", "KEY s", "SHOW Até mais!"}));
  EXPECT_EQ(telinha_run::requestLines(m),
            (std::vector<std::string>{"POST /conectar HTTP/1.1", "GET /contador.json HTTP/1.1"}));
}

}  // namespace
