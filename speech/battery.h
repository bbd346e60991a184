// The power status the battery reading speaks, from the kernel's
// power-supply information.
#pragma once
#include <string>

namespace speech {

struct BatteryStatus {
  bool present = false;  // a system battery exists
  int percent = 0;
  bool onMains = true;   // false only when a mains supply reports it is offline
};

// Reads /sys/class/power_supply, or the folder ESCUTA_POWER_SUPPLY names.
BatteryStatus readBattery();

}  // namespace speech
