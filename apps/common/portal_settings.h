// Where the portal lives: the web host and the API server's address and
// ports, read from section TELINHA of Escuta.ini. The client's scripts carry
// placeholders ({{HOSTWEB}}, {{PORTAWEB}}, {{HOSTAPI}}, {{PORTAAPI}},
// {{PORTANOTIFICACOES}}, {{PROGRAMA}} for the program itself, {{ESCUTAINI}} for
// the file the values come from and {{TOCADOR}} for the media player) that take
// these values when the lines are stored, so that no script variable is spent
// on them.
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "engine/interp.h"

namespace app {

struct PortalSettings {
  std::string webHost = "localhost";
  int webPort = 443;
  std::string apiHost = "localhost";
  int apiPort = 6000;
  int notesPort = 6001;
  std::string programFile;  // {{PROGRAMA}}: this program, for the suite's menu
  std::string settingsFile;  // {{ESCUTAINI}}: where the values are read, to tell the user
  std::string player;        // {{TOCADOR}}: "mpv" when it can be started, else empty
};

// The configured values; a missing key, or a value that is not a host name or
// a port, gives the default (the refused value is reported on stderr).
PortalSettings readPortalSettings();

// The line with every placeholder replaced.
std::string withPortalSettings(std::string_view line, const PortalSettings& settings);

// A ScriptProgram's store: the built-in lines with the portal's values put in.
bool storePortalScript(engine::Interp& in, const std::vector<std::string>& args, std::string& error);

}  // namespace app
