// The body of a page kept as text lines ending in CR LF, the way lines read
// from a connection come: a line feed ends a line, one carriage return just
// before it goes, and so does one at the very end. The text ends with one
// empty line more. Works block by block, keeping only a flag or two.
#pragma once
#include <string>
#include <string_view>

namespace net {

struct PageLines {
  bool pendingCr = false;  // a carriage return not yet known to end a line
  bool lineOpen = false;   // something of the current line has come
};

void feedPageLines(PageLines& p, std::string_view bytes, std::string& out);

// Ends the last line, when one is open, and adds the closing empty line.
void finishPageLines(PageLines& p, std::string& out);

}  // namespace net
