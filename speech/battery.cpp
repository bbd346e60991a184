#include "speech/battery.h"

#include <dirent.h>

#include <cstdlib>

#include "platform/base/paths.h"

namespace speech {
namespace {

std::string firstLine(const std::string& file) {
  std::string text;
  if (!platform::readWholeFile(file, text)) return {};
  return text.substr(0, text.find('\n'));
}

}  // namespace

BatteryStatus readBattery() {
  const char* env = std::getenv("ESCUTA_POWER_SUPPLY");
  const std::string root = env && *env ? env : "/sys/class/power_supply";
  BatteryStatus status;
  DIR* d = ::opendir(root.c_str());
  if (!d) return status;
  while (dirent* e = ::readdir(d)) {
    if (e->d_name[0] == '.') continue;
    const std::string dir = root + "/" + e->d_name;
    const std::string type = firstLine(dir + "/type");
    // Batteries of mice and headsets report a scope; the system's does not.
    if (type == "Battery" && !status.present && firstLine(dir + "/scope") != "Device") {
      status.present = true;
      status.percent = std::atoi(firstLine(dir + "/capacity").c_str());
    } else if (type == "Mains" && firstLine(dir + "/online") == "0") {
      status.onMains = false;
    }
  }
  ::closedir(d);
  return status;
}

}  // namespace speech
