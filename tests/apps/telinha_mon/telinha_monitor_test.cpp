// The notification monitor: it polls the portal's notifications, keeps
// quiet about the notes it found at its start, and plays its sound when a
// new one comes.
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include <nlohmann/json.hpp>

#include "apps/telinha_run.h"

namespace {

using telinha_run::waitFor;

int monitorPolls(const telinha_run::Machine& m) {
  int polls = 0;
  for (const auto& q : telinha_run::requests(m))
    if (q.value("request", std::string()).find("User-Agent: Telinha_mon\r\n") != std::string::npos) ++polls;
  return polls;
}

TEST(Monitor, PlaysItsSoundOnlyForANoteThatCameAfterItsStart) {
  telinha_run::Machine m;
  // The portal first holds every note but the last.
  nlohmann::json catalogue = nlohmann::json::parse(live::readFile(TELINHA_FIXTURE));
  catalogue["notificacoes"].erase(catalogue["notificacoes"].size() - 1);
  const std::string fewer = m.dir / "fewer.json";
  std::ofstream(fewer) << catalogue.dump();
  ASSERT_TRUE(telinha_run::start(m, {.portalArgs = {"--fixture", fewer}}));

  const std::string transcript = m.dir / "monitor.txt";
  telinha_run::startProgram(m, "telinha_mon", {"--clock-speed", "100", "--transcript", transcript});
  ASSERT_TRUE(waitFor([&] { return monitorPolls(m) >= 2; }, 30)) << live::readFile(transcript);
  EXPECT_EQ(live::readFile(transcript).find("TLNOVANOTA"), std::string::npos);

  // The same portal, now with one note more.
  const live::Demo before = m.portal;
  live::stop(m.portal, true);
  auto again = live::start({"--fixture", TELINHA_FIXTURE, "--api-port", std::to_string(before.api), "--notes-port",
                            std::to_string(before.notes), "--web-port", std::to_string(before.web)},
                           before.stateDir);
  ASSERT_TRUE(again);
  m.portal = *again;
  EXPECT_TRUE(waitFor([&] { return live::readFile(transcript).find("PLAY\tSOM\\\\TLNOVANOTA.WAV") != std::string::npos; },
                      30))
      << live::readFile(transcript);
  telinha_run::stop(m);
}

}  // namespace
