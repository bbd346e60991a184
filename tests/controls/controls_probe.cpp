// controls_probe: runs the line editor, the menus and the screen review the
// way scripts do, for the end-to-end tests and by hand.
//   controls_probe [options] [--] ACTION...
// Actions, in order, fields separated by ":":
//   write:TEXT          the text on the console, unspoken ("\n" ends a row)
//   goto:COLUMN:ROW     moves the cursor
//   colour:FG:BG        the text colours
//   edit:COL:ROW:MAX:TEXT  editLine; prints "edit CODE [TEXT]"
//   line                readLine; prints "line [TEXT]"
//   menu:L:T:R:B:ITEMS  a new menu, items separated by "|"
//   items:N             a new menu 1 1 30 10 with items "item 1" to "item N"
//   run[:N]             runMenu from N (none: where the last run began);
//                       prints "menu NUMBER KEYTEXT [TEXT]"
//   endmenu             endMenu
//   review              the screen review
//   clip:TEXT           puts the text on the clipboard ("\n" a line end)
//   paste               prints "clip [CLIPBOARD]"
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "console/clipboard.h"
#include "console/keyboard.h"
#include "console/screen.h"
#include "controls/line_editor.h"
#include "controls/menu.h"
#include "controls/screen_review.h"
#include "platform/base/codepage.h"
#include "speech/speech_activity.h"
#include "speech/speech_service.h"
#include "support/probe_main.h"

namespace {

std::vector<std::string> fields(const std::string& text, size_t count) {
  std::vector<std::string> out;
  size_t from = 0;
  while (out.size() + 1 < count) {
    const size_t colon = text.find(':', from);
    if (colon == std::string::npos) break;
    out.push_back(text.substr(from, colon - from));
    from = colon + 1;
  }
  out.push_back(from <= text.size() ? text.substr(from) : "");
  out.resize(count);
  return out;
}

std::string unescape(std::string text) {
  for (size_t at = 0; (at = text.find("\\n", at)) != std::string::npos;) text.replace(at, 2, "\r\n");
  return text;
}

int number(const std::string& text) { return std::atoi(text.c_str()); }

void print(const std::string& what, const std::string& text) {
  std::printf("%s [%s]\n", what.c_str(), platform::cp1252ToUtf8(text).c_str());
}

bool run(const std::string& typed) {
  const std::string action = testsupport::probeText(typed);
  const std::string verb = action.substr(0, action.find(':'));
  if (verb == "write") {
    console::writeText(unescape(fields(action, 2)[1]));
  } else if (verb == "goto") {
    const auto f = fields(action, 3);
    console::gotoXY(number(f[1]), number(f[2]));
  } else if (verb == "colour") {
    const auto f = fields(action, 3);
    console::setTextColor(number(f[1]));
    console::setBackColor(number(f[2]));
  } else if (verb == "edit") {
    const auto f = fields(action, 5);
    std::string text = f[4];
    const int code = controls::editLine(text, number(f[1]), number(f[2]), number(f[3]));
    print("edit " + std::to_string(code), text);
  } else if (verb == "line") {
    std::string text;
    controls::readLine(text);
    print("line", text);
  } else if (verb == "menu") {
    const auto f = fields(action, 6);
    controls::createMenu(number(f[1]), number(f[2]), number(f[3]), number(f[4]));
    for (size_t from = 0; from <= f[5].size();) {
      size_t bar = f[5].find('|', from);
      if (bar == std::string::npos) bar = f[5].size();
      controls::addMenuItem(f[5].substr(from, bar - from));
      from = bar + 1;
    }
  } else if (verb == "items") {
    controls::createMenu(1, 1, 30, 10);
    for (int i = 1; i <= number(fields(action, 2)[1]); ++i) controls::addMenuItem("item " + std::to_string(i));
  } else if (verb == "run") {
    const auto f = fields(action, 2);
    const controls::MenuChoice c =
        controls::runMenu(f[1].empty() ? std::nullopt : std::optional<int>(number(f[1])));
    print("menu " + std::to_string(c.number) + " " +
              console::keyCodeText(static_cast<uint8_t>(c.code), c.scan, false),
          c.text);
  } else if (verb == "endmenu") {
    controls::endMenu();
  } else if (verb == "review") {
    controls::reviewScreen();
  } else if (verb == "clip") {
    console::copyToClipboard(unescape(fields(action, 2)[1]));
  } else if (verb == "paste") {
    print("clip", console::pasteFromClipboard(4096));
  } else {
    std::fprintf(stderr, "unknown action %s\n", action.c_str());
    return false;
  }
  std::fflush(stdout);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  return testsupport::runProbe(argc, argv, testsupport::ProbeSpeech::Ready, run);
}
