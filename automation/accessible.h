// What scripts learn of an accessible object on the desktop.
#pragma once
#include <string>

namespace automation {

struct AccessibleProperties {
  std::string name;  // UTF-8, as the rest of the texts
  int roleCode = 0;
  std::string roleText;
  std::string stateText;
  std::string value;
  int left = 0, top = 0, width = 0, height = 0;  // screen pixels
};

// The two events scripts follow, with the numbers they are known by.
constexpr int kEventForeground = 3;
constexpr int kEventFocus = 32773;

}  // namespace automation
