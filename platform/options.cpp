#include "platform/options.h"

#include "platform/base/paths.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace platform {
namespace {

struct OptionDef {
  const char* flag;
  const char* env;
  std::string Options::*text;  // null for the flags handled apart
  const char* help;
};

const OptionDef kOptions[] = {
    {"--frontend", "ESCUTA_FRONTEND", &Options::frontend, "sdl|tty|headless  backend (default: sdl with a display, tty at a terminal)"},
    {"--keys", "ESCUTA_KEYS", &Options::keys, "FILE  key script fed to the keyboard"},
    {"--transcript", "ESCUTA_TRANSCRIPT", &Options::transcript, "FILE  write the transcript ('-': standard output)"},
    {"--audio-out", "ESCUTA_AUDIO_OUT", &Options::audioOut, "FILE.wav  record everything played"},
    {"--config-dir", "ESCUTA_CONFIG_DIR", &Options::configDir, "DIR  directory of Escuta.ini"},
    {"--screen-out", "ESCUTA_SCREEN_OUT", &Options::screenOut,
     "FILE  write the screen's rows at exit ('-': standard output)"},
    {"--time-limit", "ESCUTA_TIME_LIMIT", nullptr, "SECONDS  headless: end the run after this long (600)"},
    {"--audio-device", "ESCUTA_AUDIO_DEVICE", nullptr, "headless: play through the real audio device"},
    {"--braille", "ESCUTA_BRAILLE", nullptr, "headless: show the console on the braille display (BrlAPI)"},
    {"--clock-speed", "ESCUTA_CLOCK_SPEED", nullptr, "N  headless: run the clock N times faster (tests; 1)"},
};

// The options that take no value: giving one switches it on.
bool* switchOf(const std::string& name, Options& options) {
  if (name == "--audio-device") return &options.audioDevice;
  if (name == "--braille") return &options.braille;
  return nullptr;
}

bool parseSeconds(const std::string& text, double& out) {
  char* end = nullptr;
  const double v = std::strtod(text.c_str(), &end);
  if (text.empty() || *end != '\0' || !(v > 0)) return false;
  out = v;
  return true;
}

bool isTrue(const char* v) { return v && *v && std::strcmp(v, "0") != 0; }

bool parseSpeed(const std::string& text, int& out) {
  char* end = nullptr;
  const long v = std::strtol(text.c_str(), &end, 10);
  if (text.empty() || *end != '\0' || v < 1 || v > kMaxClockSpeed) return false;
  out = static_cast<int>(v);
  return true;
}

// The value of an option that is not plain text; `name` is how the user gave it.
bool parseValue(const OptionDef& d, const std::string& value, const std::string& name, Options& options,
                std::string& error) {
  if (d.text) {
    options.*d.text = value;
  } else if (std::strcmp(d.flag, "--clock-speed") == 0) {
    if (!parseSpeed(value, options.clockSpeed)) {
      error = name + " takes a whole number from 1 to " + std::to_string(kMaxClockSpeed) + ", not " + value;
      return false;
    }
  } else if (!parseSeconds(value, options.timeLimit)) {
    error = name + " takes a positive number of seconds, not " + value;
    return false;
  }
  return true;
}

// One option at the front of a command line, as it was given.
struct GivenOption {
  const OptionDef* def = nullptr;  // null for --help and --version
  std::string name;                // without a value given after "="
  std::string value;
};

enum class Walk { Option, End, Error };

// Takes the option at args[i] and its value (after "=", or the next
// argument), moving i past them. The options end at "--", which is skipped,
// or at the first argument that is not an option.
Walk nextOption(const std::vector<std::string>& args, size_t& i, GivenOption& given, std::string& error) {
  if (i >= args.size() || !args[i].starts_with("--")) return Walk::End;
  given = GivenOption{nullptr, args[i++], ""};
  if (given.name == "--") return Walk::End;
  if (given.name == "--help" || given.name == "--version") return Walk::Option;
  bool inlineValue = false;
  if (const size_t eq = given.name.find('='); eq != std::string::npos) {
    given.value = given.name.substr(eq + 1);
    given.name.resize(eq);
    inlineValue = true;
  }
  for (const OptionDef& d : kOptions) {
    if (given.name == d.flag) given.def = &d;
  }
  if (!given.def) {
    error = "unknown option " + given.name;
    return Walk::Error;
  }
  Options none;
  if (switchOf(given.name, none) || inlineValue) return Walk::Option;
  if (i >= args.size()) {
    error = given.name + " needs a value";
    return Walk::Error;
  }
  given.value = args[i++];
  return Walk::Option;
}

}  // namespace

ParseResult parseOptions(int argc, char** argv, Options& options, std::string& error) {
  options = Options();
  for (const OptionDef& d : kOptions) {
    const char* v = std::getenv(d.env);
    if (!v) continue;
    if (bool* on = switchOf(d.flag, options)) *on = isTrue(v);
    else if ((d.text || *v) && !parseValue(d, v, d.env, options, error)) return ParseResult::Error;
  }
  const std::vector<std::string> args(argv + std::min(argc, 1), argv + argc);
  size_t i = 0;
  GivenOption given;
  for (Walk step; (step = nextOption(args, i, given, error)) != Walk::End;) {
    if (step == Walk::Error) return ParseResult::Error;
    if (given.name == "--help") return ParseResult::Help;
    if (given.name == "--version") return ParseResult::Version;
    if (bool* on = switchOf(given.name, options)) *on = true;
    else if (!parseValue(*given.def, given.value, given.name, options, error)) return ParseResult::Error;
  }
  options.args.assign(args.begin() + static_cast<std::ptrdiff_t>(i), args.end());
  if (!options.frontend.empty() && options.frontend != "sdl" && options.frontend != "tty" &&
      options.frontend != "headless") {
    error = "unknown frontend " + options.frontend + " (sdl, tty or headless)";
    return ParseResult::Error;
  }
  return ParseResult::Run;
}

std::string configDirOption(const std::vector<std::string>& commandLine) {
  const std::vector<std::string> args(commandLine.begin() + std::min<std::ptrdiff_t>(1, std::ssize(commandLine)),
                                      commandLine.end());
  std::string dir, error;
  size_t i = 0;
  GivenOption given;
  while (nextOption(args, i, given, error) == Walk::Option) {
    if (given.def && given.def->text == &Options::configDir) dir = given.value;
  }
  return dir;
}

std::string helpText(const std::string& program, const std::string& usage) {
  std::string text = "Usage: " + program + " [options] " + usage + "\n\nOptions:\n";
  for (const OptionDef& d : kOptions) {
    text += "  " + std::string(d.flag) + " " + d.help + "  [" + d.env + "]\n";
  }
  text += "  --help, --version\n";
  text +=
      "\n"
      "Exit status: 0 normal end, 1 execution error, 2 unusable command line or\n"
      "script, or an output file that could not be written, 3 the key script ran\n"
      "out while the program waits for a key, 4 the headless time limit passed,\n"
      "129/130/143 ended by SIGHUP/SIGINT/SIGTERM.\n"
      "\n"
      "Files: every drive lives below the data root, " + dataRoot() + "\n"
      "(ESCUTA_ROOT, else installed $XDG_DATA_HOME/escuta, which each start fills\n"
      "with what it lacks of the shipped data): c:\\x is <root>/x, and \"..\" never\n"
      "climbs above it. A path that starts with / is the system's own.\n"
      "\n"
      "Key scripts (--keys): one instruction a line; \"#\" starts a comment.\n"
      "  type TEXT  types TEXT (UTF-8)\n"
      "  key NAME   a character, or Enter, Esc, Tab, Backspace, Space, Up, Down,\n"
      "             Left, Right, Home, End, PageUp, PageDown, Insert, Delete,\n"
      "             F1 ... F12, MouseLeft, MouseRight, MouseMiddle, WheelUp,\n"
      "             WheelDown, Ctrl+Break; Ctrl+, Alt+ and Shift+ before it hold\n"
      "             those keys until the program takes the next one\n"
      "  wait MS    the next key comes MS milliseconds after the one before,\n"
      "             whatever the program is doing; else a key comes when the\n"
      "             program waits for one, its queue empty and no sound playing\n";
  return text;
}

}  // namespace platform
