// Key scripts: the keys a test or a demo feeds to the keyboard, one
// instruction a line: "type TEXT", "key NAME", "wait MS"; a line whose first
// non-blank character is "#" is a comment.
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "platform/events.h"

namespace platform {

// One key as a user presses it: the events it makes, the modifiers it holds,
// and when it is due: -1 when the program next waits for a key with nothing
// queued, else that many milliseconds after the step before.
struct KeyStep {
  int waitMs = -1;
  Mods mods;
  std::vector<Event> events;
  int line = 0;
};

// Parses a whole script; on failure `error` names the line and the fault.
bool parseKeyScript(std::string_view text, std::vector<KeyStep>& steps, std::string& error);

bool loadKeyScript(const std::string& path, std::vector<KeyStep>& steps, std::string& error);

}  // namespace platform
