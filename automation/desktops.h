// The desktops this run may have; desktop.cpp chooses.
#pragma once
#include <memory>

#include "automation/desktop.h"

namespace automation {

std::unique_ptr<Desktop> makeHeadlessDesktop();
// nullptr when no X display answers.
std::unique_ptr<Desktop> openX11Desktop();

}  // namespace automation
