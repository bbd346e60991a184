#include "settings/settings.h"

#include <sys/stat.h>

#include <cstdlib>

#include "platform/base/config_dir.h"
#include "platform/base/paths.h"
#include "platform/base/profile.h"

namespace settings {
namespace {

constexpr size_t kReadBuffer = 50000;
constexpr size_t kDirectBuffer = 81;
bool g_legacy = false;

// The Windows directory of the suite's older installations.
std::string windowsDir() {
  const char* env = std::getenv("ESCUTA_WINDOWS_DIR");
  return env && *env ? env : "/etc/escuta";
}

bool fileExists(const std::string& hostFile) {
  struct stat st;
  return ::stat(hostFile.c_str(), &st) == 0;
}

std::string iniFile() { return platform::hostPath(configDir() + "\\Escuta.ini"); }
std::string legacyFile() { return platform::hostPath(windowsDir() + "\\Escuta.ini"); }

// Expands "@" forms; `depth` stops PGMESCUTA from expanding through itself.
std::string expand(std::string value, int depth);

std::string readExpanded(std::string_view section, std::string_view key, int depth) {
  std::string value = platform::readProfileString(iniFile(), section, key, "", kReadBuffer);
  if (value.empty() && g_legacy) value = platform::readProfileString(legacyFile(), section, key, "", kReadBuffer);
  return expand(std::move(value), depth);
}

std::string expand(std::string value, int depth) {
  if (value == "@") return platform::programDir();
  // Each round removes one "@\"; the bound only guards against a directory
  // name that brings the pattern back.
  for (int round = 0; round < 64; ++round) {
    if (const size_t at = value.find("@@\\"); at != std::string::npos) {
      value.replace(at, 3, configDir() + "\\");
    }
    const size_t at = value.find("@\\");
    if (at == std::string::npos) break;
    std::string pgm = depth < 1 ? readExpanded("ESCUTA", "PGMESCUTA", depth + 1) : std::string();
    if (pgm.empty() || pgm[0] == '@') pgm = platform::programDir();
    value.replace(at, 1, pgm);
  }
  if (value.size() >= kReadBuffer) value.resize(kReadBuffer - 1);
  return value;
}

std::string trim(std::string_view s) {
  while (!s.empty() && static_cast<unsigned char>(s.front()) <= ' ') s.remove_prefix(1);
  while (!s.empty() && static_cast<unsigned char>(s.back()) <= ' ') s.remove_suffix(1);
  return std::string(s);
}

}  // namespace

std::string configDir() {
  const std::string dir = platform::configDirOfEnvironment();
  // Only the user's default directory gives way to an older installation's copy.
  if (const char* env = std::getenv("ESCUTA_CONFIG_DIR"); env && *env) return dir;
  if (!fileExists(platform::hostPath(dir + "\\Escuta.ini")) && fileExists(legacyFile())) return windowsDir();
  return dir;
}

std::string readSetting(std::string_view section, std::string_view key) { return readExpanded(section, key, 0); }

std::string readSettingOrInit(std::string_view section, std::string_view key, std::string_view def) {
  std::string value = trim(readSetting(section, key));
  if (!value.empty()) return value;
  writeSetting(section, key, def);
  return std::string(def);
}

void writeSetting(std::string_view section, std::string_view key, std::string_view value) {
  platform::writeProfileString(iniFile(), section, key, value);
  const std::string legacy = legacyFile();
  if (g_legacy && legacy != iniFile() && fileExists(legacy)) platform::writeProfileString(legacy, section, key, value);
}

std::string readDirect(std::string_view section, std::string_view key, std::string_view def) {
  std::string value = platform::readProfileString(iniFile(), section, key, "", kDirectBuffer);
  return value.empty() ? std::string(def) : value;
}

void loadLegacyMode() {
  g_legacy = false;  // the flag's own key is read from the configuration directory only
  const std::string v = readSetting("ESCUTA", "LEGADO");
  g_legacy = !v.empty() && (v[0] == 'S' || v[0] == 's');
}

bool legacyMode() { return g_legacy; }

}  // namespace settings
