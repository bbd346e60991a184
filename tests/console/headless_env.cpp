#include "headless_env.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <fstream>
#include <memory>

#include "console/keyboard.h"
#include "console/program.h"
#include "console/screen.h"
#include "support/scratch.h"

namespace testenv {
namespace {

std::unique_ptr<testsupport::ScratchDir> g_scratch;
std::string g_dir;
size_t g_seen = 0;

class HeadlessEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    g_scratch = std::make_unique<testsupport::ScratchDir>();
    g_dir = g_scratch->path();
    std::ofstream(g_dir + "/Escuta.ini") << kTestIni;
    setenv("ESCUTA_CONFIG_DIR", g_dir.c_str(), 1);
    const std::string transcript = g_dir + "/transcript.txt";
    const char* argv[] = {"console_tests", "--frontend", "headless", "--transcript", transcript.c_str()};
    platform::Options options;
    ASSERT_EQ(console::startProgram(5, const_cast<char**>(argv), "", options), -1);
  }
  void TearDown() override { g_scratch.reset(); }
};

const auto* g_env = ::testing::AddGlobalTestEnvironment(new HeadlessEnvironment);

}  // namespace

std::string newTranscript() {
  const std::string all = testsupport::slurp(g_dir + "/transcript.txt");
  const std::string fresh = all.substr(std::min(g_seen, all.size()));
  g_seen = all.size();
  return fresh;
}

void resetConsole() {
  console::setTextColor(7);
  console::setBackColor(0);
  console::clearScreen();
  console::drainKeys();
  newTranscript();
}

}  // namespace testenv
