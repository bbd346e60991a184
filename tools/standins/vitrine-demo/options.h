// vitrine-demo's command line.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace vitrine {

struct Options {
  std::string host = "localhost";  // the web host's name: certificate and links
  int apiPort = 6000;
  int notesPort = 6001;
  int webPort = 8443;
  std::string fixture;     // empty: the catalogue below the data root
  std::string stateDir;    // empty: $XDG_STATE_HOME/vitrine-demo
  std::string logFile;     // empty: no request log
  std::string updatesDir;  // empty: the folder beside the default catalogue
  std::string mediaDir;    // empty: the generated media below the data root
  int latencyMs = 0;
  int timeoutMs = 10000;
  std::vector<std::pair<std::string, int>> failures;  // path -> status
  bool help = false;
};

struct OptionsResult {
  bool ok = false;
  Options options;
  std::string error;
};

// Options are "--name value" or "--name=value".
OptionsResult parseOptions(const std::vector<std::string>& args);

std::string usageText();

}  // namespace vitrine
