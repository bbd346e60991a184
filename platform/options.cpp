#include "platform/options.h"

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
    {"--frontend", "ESCUTA_FRONTEND", &Options::frontend, "sdl|tty|headless  backend (default: sdl with a display)"},
    {"--keys", "ESCUTA_KEYS", &Options::keys, "FILE  key script fed to the keyboard"},
    {"--transcript", "ESCUTA_TRANSCRIPT", &Options::transcript, "FILE  write the transcript ('-': standard output)"},
    {"--audio-out", "ESCUTA_AUDIO_OUT", &Options::audioOut, "FILE.wav  record everything played"},
    {"--config-dir", "ESCUTA_CONFIG_DIR", &Options::configDir, "DIR  directory of Escuta.ini"},
    {"--screen-out", "ESCUTA_SCREEN_OUT", &Options::screenOut, "FILE  write the screen's rows at exit"},
    {"--time-limit", "ESCUTA_TIME_LIMIT", nullptr, "SECONDS  headless: end the run after this long (600)"},
    {"--audio-device", "ESCUTA_AUDIO_DEVICE", nullptr, "headless: play through the real audio device"},
    {"--clock-speed", "ESCUTA_CLOCK_SPEED", nullptr, "N  headless: run the clock N times faster (tests; 1)"},
};

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

}  // namespace

ParseResult parseOptions(int argc, char** argv, Options& options, std::string& error) {
  options = Options();
  for (const OptionDef& d : kOptions) {
    const char* v = std::getenv(d.env);
    if (!v) continue;
    if (std::strcmp(d.flag, "--audio-device") == 0) options.audioDevice = isTrue(v);
    else if ((d.text || *v) && !parseValue(d, v, d.env, options, error)) return ParseResult::Error;
  }
  int i = 1;
  for (; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "--") {
      ++i;
      break;
    }
    if (arg.rfind("--", 0) != 0) break;
    if (arg == "--help") return ParseResult::Help;
    if (arg == "--version") return ParseResult::Version;
    std::string value;
    bool inlineValue = false;
    if (const size_t eq = arg.find('='); eq != std::string::npos) {
      value = arg.substr(eq + 1);
      arg.resize(eq);
      inlineValue = true;
    }
    const OptionDef* def = nullptr;
    for (const OptionDef& d : kOptions) {
      if (arg == d.flag) def = &d;
    }
    if (!def) {
      error = "unknown option " + arg;
      return ParseResult::Error;
    }
    if (arg == "--audio-device") {
      options.audioDevice = true;
      continue;
    }
    if (!inlineValue) {
      if (i + 1 >= argc) {
        error = arg + " needs a value";
        return ParseResult::Error;
      }
      value = argv[++i];
    }
    if (!parseValue(*def, value, arg, options, error)) return ParseResult::Error;
  }
  for (; i < argc; ++i) options.args.emplace_back(argv[i]);
  if (!options.frontend.empty() && options.frontend != "sdl" && options.frontend != "headless" &&
      options.frontend != "tty") {
    error = "unknown frontend " + options.frontend + " (sdl, tty or headless)";
    return ParseResult::Error;
  }
  return ParseResult::Run;
}

std::string helpText(const std::string& program, const std::string& usage) {
  std::string text = "Usage: " + program + " [options] " + usage + "\n\nOptions:\n";
  for (const OptionDef& d : kOptions) {
    text += "  " + std::string(d.flag) + " " + d.help + "  [" + d.env + "]\n";
  }
  text += "  --help, --version\n";
  return text;
}

}  // namespace platform
