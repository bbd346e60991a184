#include "engine/mci.h"

#include <sndfile.h>

#include <map>
#include <vector>

#include "console/keyboard.h"
#include "engine/api.h"
#include "engine/text.h"
#include "platform/base/paths.h"
#include "platform/transcript.h"
#include "speech/wave_player.h"

namespace engine {
namespace {

// The error numbers of the media control interface that these commands use.
enum : int {
  kOk = 0,
  kUnrecognizedCommand = 261,
  kFileNotFound = 275,
  kMissingParameter = 273,
  kBadDevice = 263,
  kUnsupported = 274,
};

struct Device {
  std::string file;
  bool playing = false;
  int64_t lengthMs = 0;
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

bool probe(const std::string& file, int64_t& lengthMs) {
  SF_INFO info{};
  SNDFILE* sf = sf_open(platform::hostPath(file).c_str(), SFM_READ, &info);
  if (!sf) return false;
  lengthMs = info.samplerate > 0 ? info.frames * 1000 / info.samplerate : 0;
  sf_close(sf);
  return true;
}

// Decodes the file piece by piece into the wave player until its end or a
// key. More than two channels are folded into two.
void playFile(const std::string& file) {
  SF_INFO info{};
  SNDFILE* sf = sf_open(platform::hostPath(file).c_str(), SFM_READ, &info);
  if (!sf) return;
  platform::transcriptEvent("PLAY", file);
  const int channels = std::min(info.channels, 2);
  constexpr sf_count_t kFrames = 4096;
  std::vector<short> in(static_cast<size_t>(kFrames * info.channels));
  std::vector<short> out(static_cast<size_t>(kFrames * channels));
  while (!console::keyPressed()) {
    const sf_count_t got = sf_readf_short(sf, in.data(), kFrames);
    if (got <= 0) break;
    for (sf_count_t f = 0; f < got; ++f) {
      for (int c = 0; c < channels; ++c) {
        out[static_cast<size_t>(f * channels + c)] = in[static_cast<size_t>(f * info.channels + c)];
      }
    }
    const auto* bytes = reinterpret_cast<const uint8_t*>(out.data());
    if (speech::playPcm({bytes, static_cast<size_t>(got * channels) * sizeof(short)}, info.samplerate, channels, 16) != 0)
      break;
  }
  sf_close(sf);
}

int openDevice(Devices& devices, const std::vector<std::string>& w, std::string& reply) {
  if (w.size() < 2) return kMissingParameter;
  std::string alias = w[1];
  for (size_t i = 2; i + 1 < w.size(); i += 2) {
    const std::string key = upper(w[i]);
    if (key == "ALIAS") alias = w[i + 1];
    else if (key != "TYPE") return kUnsupported;
  }
  Device d{w[1]};
  if (!probe(d.file, d.lengthMs)) return kFileNotFound;
  devices[upper(alias)] = d;
  reply = "1";
  return kOk;
}

int playDevice(Devices& devices, const std::vector<std::string>& w) {
  if (w.size() < 2) return kMissingParameter;
  const auto found = devices.find(upper(w[1]));
  if (found == devices.end()) {
    // A file played without opening it first.
    int64_t ignored;
    if (!probe(w[1], ignored)) return kFileNotFound;
    playFile(w[1]);
    return kOk;
  }
  Device& d = found->second;
  d.playing = true;
  playFile(d.file);
  return kOk;
}

int status(Device& d, const std::vector<std::string>& w, std::string& reply) {
  if (w.size() < 3) return kMissingParameter;
  const std::string what = upper(w[2]);
  if (d.playing && !speech::waveBusy()) d.playing = false;
  if (what == "MODE") reply = d.playing ? "playing" : "stopped";
  else if (what == "LENGTH") reply = decimal(d.lengthMs);
  else return kUnsupported;
  return kOk;
}

}  // namespace

int mciSend(Interp& in, std::string_view command, std::string& reply) {
  Devices& devices = libraryState<Devices>(in);
  reply.clear();
  const std::vector<std::string> w = words(command);
  if (w.empty()) return kUnrecognizedCommand;
  const std::string verb = upper(w[0]);
  if (verb == "OPEN") return openDevice(devices, w, reply);
  if (verb == "PLAY") return playDevice(devices, w);
  if (w.size() < 2) return kMissingParameter;
  const std::string alias = upper(w[1]);
  if (verb == "CLOSE" && alias == "ALL") {
    if (!devices.empty()) speech::waveStop();
    devices.clear();
    return kOk;
  }
  if (verb != "STATUS" && verb != "STOP" && verb != "CLOSE") return kUnrecognizedCommand;
  const auto found = devices.find(alias);
  if (found == devices.end()) return kBadDevice;
  Device& d = found->second;
  if (verb == "STATUS") return status(d, w, reply);
  if (d.playing) speech::waveStop();
  d.playing = false;
  if (verb == "CLOSE") devices.erase(found);
  return kOk;
}

}  // namespace engine
