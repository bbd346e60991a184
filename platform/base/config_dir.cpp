#include "platform/base/config_dir.h"

#include <cstdlib>

namespace platform {
namespace {

std::string variable(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

}  // namespace

std::string configDirNamed(std::string_view escutaConfigDir, std::string_view xdgConfigHome, std::string_view home) {
  std::string dir;
  if (!escutaConfigDir.empty()) dir = escutaConfigDir;
  else if (!xdgConfigHome.empty()) dir = std::string(xdgConfigHome) + "/Escuta";
  else dir = std::string(home) + "/.config/Escuta";
  while (dir.size() > 1 && (dir.back() == '/' || dir.back() == '\\')) dir.pop_back();
  return dir;
}

std::string configDirOfEnvironment() {
  return configDirNamed(variable("ESCUTA_CONFIG_DIR"), variable("XDG_CONFIG_HOME"), variable("HOME"));
}

}  // namespace platform
