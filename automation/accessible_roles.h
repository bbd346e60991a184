// How an accessible object of the desktop is told to scripts: its role as
// the role number and the Portuguese role text scripts have always been
// given, and its state as one word.
#pragma once
#include <string>

namespace automation {

struct RoleDescription {
  int code = 0;          // 0: no role at all
  const char* text = "";  // UTF-8
};

// The role number and text of an AT-SPI role (AtspiRole). A role without a
// counterpart gives 8 and an empty text; an invalid role gives 0.
RoleDescription describeRole(int atspiRole);

// "indisponível" for an object that cannot be used, else "marcado" for a
// checked one, else empty (UTF-8).
std::string stateText(bool checked, bool unavailable);

}  // namespace automation
