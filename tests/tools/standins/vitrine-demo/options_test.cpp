#include <gtest/gtest.h>

#include "options.h"

namespace {

TEST(VitrineOptions, ReadsEveryOptionInBothForms) {
  const auto r = vitrine::parseOptions({"--host", "vitrine.test", "--api-port=0", "--notes-port", "7001",
                                        "--web-port", "443", "--fixture", "f.json", "--state-dir=s", "--log", "l",
                                        "--updates", "u", "--media", "m", "--latency", "250", "--timeout=900",
                                        "--fail", "/conectar=503", "--fail=/api/v1/listarfilme=500"});
  ASSERT_TRUE(r.ok) << r.error;
  const vitrine::Options& o = r.options;
  EXPECT_EQ(o.host, "vitrine.test");
  EXPECT_EQ(o.apiPort, 0);
  EXPECT_EQ(o.notesPort, 7001);
  EXPECT_EQ(o.webPort, 443);
  EXPECT_EQ(o.fixture, "f.json");
  EXPECT_EQ(o.stateDir, "s");
  EXPECT_EQ(o.logFile, "l");
  EXPECT_EQ(o.updatesDir, "u");
  EXPECT_EQ(o.mediaDir, "m");
  EXPECT_EQ(o.latencyMs, 250);
  EXPECT_EQ(o.timeoutMs, 900);
  const std::vector<std::pair<std::string, int>> failures{{"/conectar", 503}, {"/api/v1/listarfilme", 500}};
  EXPECT_EQ(o.failures, failures);
}

TEST(VitrineOptions, DefaultsServeTheClientsUsualPorts) {
  const auto r = vitrine::parseOptions({});
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.options.host, "localhost");
  EXPECT_EQ(r.options.apiPort, 6000);
  EXPECT_EQ(r.options.notesPort, 6001);
  EXPECT_TRUE(r.options.failures.empty());
}

TEST(VitrineOptions, RefusesBadValues) {
  const std::vector<std::vector<std::string>> cases{
      {"--api-port", "65536"}, {"--web-port", "-1"},     {"--web-port", "8x"},  {"--latency", "lots"},
      {"--fail", "/a"},        {"--fail", "/a=99"},      {"--fail", "a=500"},   {"--fail", "/a=600"},
      {"--host", "bad host"},  {"--host", "-x"},         {"--host", "a/b"},     {"--fixture"},
      {"--unknown", "1"},      {"--timeout", "0"},       {"--log", ""},
  };
  for (const auto& args : cases) EXPECT_FALSE(vitrine::parseOptions(args).ok) << args[0];
  EXPECT_TRUE(vitrine::parseOptions({"--help"}).options.help);
}

}  // namespace
