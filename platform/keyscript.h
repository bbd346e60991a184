// Key scripts: the keys a test or a demo feeds to the keyboard, one
// instruction a line: "type TEXT", "key NAME", "wait MS"; a line whose first
// non-blank character is "#" is a comment.
#pragma once
#include <istream>
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

// Reads a script's steps as they are needed, a line at a time: a long
// script, or a long "type" line, costs no more memory than its longest line.
class KeyScriptReader {
 public:
  // `expandTyped` false passes over the text of "type" lines: enough to
  // check every line.
  explicit KeyScriptReader(std::istream& in, bool expandTyped = true);

  // The next step. False at the end of the script, and on a bad line, which
  // `error` names with its fault.
  bool next(KeyStep& step, std::string& error);

 private:
  bool nextTyped(KeyStep& step);

  std::istream& in_;
  bool expandTyped_;
  int lineNo_ = 0;
  int pendingWait_ = -1;  // the sum of the "wait" lines before the next key
  std::string typed_;     // the "type" line being typed, and where
  size_t typePos_ = 0;
};

// Parses a whole script; on failure `error` names the line and the fault.
bool parseKeyScript(std::string_view text, std::vector<KeyStep>& steps, std::string& error);

// Reads the script file through once, so that a bad line is told before the
// run begins; false with the reason.
bool checkKeyScript(const std::string& path, std::string& error);

}  // namespace platform
