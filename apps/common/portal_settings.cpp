#include "portal_settings.h"

#include <algorithm>
#include <cstdio>
#include <utility>

#include "apps/common/embedded_script.h"
#include "apps/common/script_program.h"
#include "engine/number.h"
#include "platform/base/codepage.h"
#include "platform/base/paths.h"
#include "platform/base/printable.h"
#include "platform/process.h"
#include "settings/settings.h"

namespace app {
namespace {

// Host names and addresses only: a value must not be able to end the quoted
// literal it is put into.
bool isHostName(std::string_view s) {
  if (s.empty() || s.size() > 253) return false;
  for (const char c : s) {
    const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' ||
                    c == '-' || c == '_' || c == ':';
    if (!ok) return false;
  }
  return true;
}

// A setting that cannot be used, told on the terminal as it was written.
void complain(const char* key, const std::string& value, const std::string& why) {
  platform::printError("Escuta.ini [TELINHA] " + std::string(key),
                       "\"" + platform::cp1252ToUtf8(value) + "\" " + why);
}

void readHost(const char* key, std::string& host) {
  const std::string value = settings::readSetting("TELINHA", key);
  if (value.empty()) return;
  if (isHostName(value)) host = value;
  else complain(key, value, "is not a host name; using " + host);
}

void readPort(const char* key, int& port) {
  const std::string value = settings::readSetting("TELINHA", key);
  if (value.empty()) return;
  int32_t n = 0;
  if (engine::numberValue(value, n) && n >= 1 && n <= 65535) port = n;
  else complain(key, value, "is not a port; using " + std::to_string(port));
}

}  // namespace

PortalSettings readPortalSettings() {
  PortalSettings s;
  readHost("HOSTWEB", s.webHost);
  readPort("PORTAWEB", s.webPort);
  readHost("HOSTAPI", s.apiHost);
  readPort("PORTAAPI", s.apiPort);
  readPort("PORTANOTIFICACOES", s.notesPort);
  s.programFile = platform::utf8ToCp1252(platform::programFile());
  // Put into a quoted literal: a quote in the path must not end it.
  s.settingsFile = platform::utf8ToCp1252(settings::configDir() + "/Escuta.ini");
  std::replace(s.settingsFile.begin(), s.settingsFile.end(), '"', '\'');
  if (!platform::findProgramFile("mpv").empty()) s.player = "mpv";
  return s;
}

std::string withPortalSettings(std::string_view line, const PortalSettings& s) {
  const std::pair<std::string_view, std::string> values[] = {
      {"{{HOSTWEB}}", s.webHost},
      {"{{PORTAWEB}}", std::to_string(s.webPort)},
      {"{{HOSTAPI}}", s.apiHost},
      {"{{PORTAAPI}}", std::to_string(s.apiPort)},
      {"{{PORTANOTIFICACOES}}", std::to_string(s.notesPort)},
      {"{{PROGRAMA}}", s.programFile},
      {"{{ESCUTAINI}}", s.settingsFile},
      {"{{TOCADOR}}", s.player},
  };
  std::string out(line);
  for (size_t at = out.find("{{"); at != std::string::npos; at = out.find("{{", at)) {
    bool replaced = false;
    for (const auto& [name, value] : values) {
      if (out.compare(at, name.size(), name) == 0) {
        out.replace(at, name.size(), value);
        at += value.size();
        replaced = true;
        break;
      }
    }
    if (!replaced) at += 2;
  }
  return out;
}

bool storePortalScript(engine::Interp& in, const std::vector<std::string>&, std::string& error) {
  const PortalSettings s = readPortalSettings();
  std::vector<std::string> lines;
  lines.reserve(kEmbeddedScript.count);
  for (size_t i = 0; i < kEmbeddedScript.count; ++i) lines.push_back(withPortalSettings(kEmbeddedScript.lines[i], s));
  std::vector<const char*> table;
  table.reserve(lines.size());
  for (const std::string& l : lines) table.push_back(l.c_str());
  return storeLines(in, table.data(), table.size(), error);
}

}  // namespace app
