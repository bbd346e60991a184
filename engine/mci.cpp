#include "engine/mci.h"

#include <algorithm>
#include <iterator>
#include <map>
#include <memory>
#include <vector>

#include "console/keyboard.h"
#include "console/screen.h"
#include "engine/api.h"
#include "engine/number.h"
#include "engine/text.h"
#include "platform/base/paths.h"
#include "platform/transcript.h"
#include "speech/media_stream.h"

namespace engine {
namespace {

// The error numbers of the media control interface that these commands use.
enum : int {
  kOk = 0,
  kUnrecognizedKeyword = 259,
  kUnrecognizedCommand = 261,
  kBadDevice = 263,
  kBadInteger = 270,
  kMissingParameter = 273,
  kUnsupported = 274,
  kFileNotFound = 275,
  kNotReady = 276,
  kOutOfRange = 282,
  kDuplicateAlias = 289,
  kBadConstant = 290,
};

enum class Mode { Stopped, Playing, Paused };

struct Device {
  std::string file;  // as the script named it
  speech::MediaInfo info;
  Mode mode = Mode::Stopped;
  int64_t position = 0;  // in frames, while not playing
  int64_t end = 0;       // where the playback under way stops
  std::unique_ptr<speech::MediaPlayback> playback;
};

// The devices open in the interpreter, by upper-cased alias.
using Devices = std::map<std::string, Device>;

// The words of a command; a double-quoted word may hold spaces.
std::vector<std::string> words(std::string_view text) {
  std::vector<std::string> out;
  for (text = trim(text); !text.empty(); text = trim(text)) {
    size_t end;
    if (text[0] == '"') {
      end = text.find('"', 1);
      out.emplace_back(text.substr(1, end == std::string_view::npos ? std::string_view::npos : end - 1));
      end = end == std::string_view::npos ? text.size() : end + 1;
    } else {
      end = text.find(' ');
      if (end == std::string_view::npos) end = text.size();
      out.emplace_back(text.substr(0, end));
    }
    text.remove_prefix(end);
  }
  return out;
}

int64_t toMs(const Device& d, int64_t frames) { return frames * 1000 / d.info.rate; }

// A position in milliseconds as frames of the file; an error when it is not
// a whole number or lies beyond the end.
int readPosition(const Device& d, const std::string& text, int64_t& frames) {
  int32_t ms;
  if (!numberValue(text, ms) || ms < 0) return kBadInteger;
  frames = static_cast<int64_t>(ms) * d.info.rate / 1000;
  return frames > d.info.frames ? kOutOfRange : kOk;
}

// A playback that has run out leaves the device stopped at its end.
void refresh(Device& d) {
  if (d.mode != Mode::Playing || (d.playback && d.playback->playing())) return;
  d.playback.reset();
  d.position = d.end;
  d.mode = Mode::Stopped;
}

int64_t position(const Device& d) { return d.mode == Mode::Playing ? d.playback->position() : d.position; }

// Stops the sound where it is.
void halt(Device& d, Mode mode) {
  d.position = position(d);
  d.playback.reset();
  d.mode = mode;
}

int startPlayback(Device& d, int64_t from, int64_t to) {
  d.playback.reset();
  d.playback = speech::MediaPlayback::start(platform::hostPath(d.file), from, to);
  d.position = from;
  if (!d.playback) {
    d.mode = Mode::Stopped;
    return kNotReady;
  }
  platform::transcriptEvent("PLAY", d.file);
  d.end = to;
  d.mode = Mode::Playing;
  return kOk;
}

// "wait" holds the script until the sound ends (or a key comes, which stays
// queued); "notify" has no window to notify and is taken as nothing.
void waitWhilePlaying(Device& d) {
  for (refresh(d); d.mode == Mode::Playing && !console::keyPressed(); refresh(d)) console::delayMs(50);
}

// Takes the flags any command may carry off its words.
bool takeWait(std::vector<std::string>& w) {
  bool wait = false;
  std::erase_if(w, [&](const std::string& word) {
    const std::string up = upper(word);
    if (up == "WAIT") wait = true;
    return up == "WAIT" || up == "NOTIFY";
  });
  return wait;
}

// Opens the file as the device `alias`.
int openFile(Devices& devices, const std::string& alias, const std::string& file) {
  Device d;
  d.file = file;
  if (!speech::probeMedia(platform::hostPath(file), d.info)) return kFileNotFound;
  devices[upper(alias)] = std::move(d);
  return kOk;
}

int openDevice(Devices& devices, const std::vector<std::string>& w, std::string& reply) {
  if (w.size() < 2) return kMissingParameter;
  std::string alias = w[1];
  for (size_t i = 2; i < w.size(); i += 2) {
    const std::string key = upper(w[i]);
    if (key != "ALIAS" && key != "TYPE") return kUnrecognizedKeyword;
    if (i + 1 >= w.size()) return kMissingParameter;
    if (key == "ALIAS") alias = w[i + 1];
  }
  if (devices.contains(upper(alias))) return kDuplicateAlias;
  if (const int e = openFile(devices, alias, w[1]); e != kOk) return e;
  reply = "1";
  return kOk;
}

// play [from N] [to N]: from where the device stands (the start again once
// it has played to its end), or from where it says.
int play(Device& d, const std::vector<std::string>& w, bool wait) {
  refresh(d);
  int64_t from = position(d), to = d.info.frames;
  bool given = false;
  for (size_t i = 2; i < w.size(); i += 2) {
    const std::string key = upper(w[i]);
    if (key != "FROM" && key != "TO") return kUnrecognizedKeyword;
    if (i + 1 >= w.size()) return kMissingParameter;
    if (const int e = readPosition(d, w[i + 1], key == "FROM" ? from : to); e != kOk) return e;
    given = true;
  }
  if (from > to) return kOutOfRange;
  if (d.mode == Mode::Playing && !given) return kOk;
  if (!given && from >= d.info.frames) from = 0;
  if (const int e = startPlayback(d, from, to); e != kOk) return e;
  if (wait) waitWhilePlaying(d);
  return kOk;
}

int seek(Device& d, const std::vector<std::string>& w) {
  if (w.size() < 4) return kMissingParameter;
  if (upper(w[2]) != "TO" || w.size() > 4) return kUnrecognizedKeyword;
  const std::string where = upper(w[3]);
  int64_t frames;
  if (where == "START") frames = 0;
  else if (where == "END") frames = d.info.frames;
  else if (const int e = readPosition(d, w[3], frames); e != kOk) return e;
  halt(d, Mode::Stopped);
  d.position = frames;
  return kOk;
}

// Milliseconds is the one time format.
int set(const std::vector<std::string>& w) {
  if (w.size() < 5) return kMissingParameter;
  if (upper(w[2]) != "TIME" || upper(w[3]) != "FORMAT" || w.size() > 5) return kUnrecognizedKeyword;
  const std::string format = upper(w[4]);
  return format == "MILLISECONDS" || format == "MS" ? kOk : kBadConstant;
}

int status(Device& d, const std::vector<std::string>& w, std::string& reply) {
  if (w.size() < 3) return kMissingParameter;
  refresh(d);
  std::string what = upper(w[2]);
  for (size_t i = 3; i < w.size(); ++i) what += " " + upper(w[i]);
  if (what == "MODE") reply = d.mode == Mode::Playing ? "playing" : d.mode == Mode::Paused ? "paused" : "stopped";
  else if (what == "LENGTH") reply = decimal(toMs(d, d.info.frames));
  else if (what == "POSITION") reply = decimal(toMs(d, position(d)));
  else if (what == "TIME FORMAT") reply = "milliseconds";
  else return kUnsupported;
  return kOk;
}

int command(Devices& devices, const std::string& verb, const std::vector<std::string>& w, bool wait,
            std::string& reply) {
  const std::string alias = upper(w[1]);
  auto found = devices.find(alias);
  if (verb == "PLAY" && found == devices.end()) {
    // A file played without opening it first is opened under its own name.
    if (const int e = openFile(devices, alias, w[1]); e != kOk) return e;
    found = devices.find(alias);
  }
  if (found == devices.end()) return kBadDevice;
  Device& d = found->second;
  if (verb == "PLAY") return play(d, w, wait);
  if (verb == "STATUS") return status(d, w, reply);
  if (verb == "SEEK") return seek(d, w);
  if (verb == "SET") return set(w);
  if (w.size() > 2) return kUnrecognizedKeyword;
  refresh(d);
  if (verb == "CLOSE") {
    devices.erase(found);
    return kOk;
  }
  if (verb == "STOP") {
    halt(d, Mode::Stopped);
  } else if (verb == "PAUSE" && d.mode == Mode::Playing) {
    halt(d, Mode::Paused);
  } else if (verb == "RESUME" && d.mode == Mode::Paused) {
    // On to where the paused play was to stop.
    if (const int e = startPlayback(d, d.position, d.end); e != kOk) return e;
  }
  if (wait) waitWhilePlaying(d);
  return kOk;
}

}  // namespace

int mciSend(Interp& in, std::string_view text, std::string& reply) {
  Devices& devices = libraryState<Devices>(in);
  reply.clear();
  std::vector<std::string> w = words(text);
  const bool wait = takeWait(w);
  if (w.empty()) return kUnrecognizedCommand;
  const std::string verb = upper(w[0]);
  if (verb == "OPEN") return openDevice(devices, w, reply);
  static const char* const kVerbs[] = {"PLAY", "STATUS", "SEEK", "SET", "STOP", "PAUSE", "RESUME", "CLOSE"};
  if (std::none_of(std::begin(kVerbs), std::end(kVerbs), [&](const char* v) { return verb == v; }))
    return kUnrecognizedCommand;
  if (w.size() < 2) return kMissingParameter;
  if (verb == "CLOSE" && upper(w[1]) == "ALL") {
    devices.clear();
    return kOk;
  }
  const int error = command(devices, verb, w, wait, reply);
  if (error != kOk) reply.clear();
  return error;
}

}  // namespace engine
