#include "speech/diphone_synth.h"

#include <filesystem>

#include "platform/base/paths.h"
#include "settings/settings.h"
#include "speech/diphone/text_to_phones.h"
#include "speech/speech_activity.h"

namespace speech {
namespace {

struct Synth {
  bool loaded = false;
  std::string letterDir;  // Windows form, ending in a backslash
  DiphoneDb db;
  DiphoneText text;
  DiphoneSpeed speed;
  DiphoneOutput out;
};

Synth g;

// The directory of a TRADUTOR key, with its backslash; empty when it does not exist.
std::string directoryOf(std::string_view key, std::string_view def) {
  std::string dir = settings::readDirect("TRADUTOR", key, def);
  if (dir.empty() || dir.back() != '\\') dir += '\\';
  std::error_code error;
  return std::filesystem::is_directory(platform::hostPath(dir), error) ? dir : std::string();
}

}  // namespace

int loadDiphoneSynth() {
  releaseDiphoneSynth();
  const std::string letters = directoryOf("dirLetras", "");
  const std::string diphones = directoryOf("DIRDIFONES", "c:\\audiwin\\som\\difones");
  if (letters.empty() || diphones.empty()) return 1;
  const std::string base = diphones + std::string(kDiphoneDbName);
  if (!openDiphoneDb(platform::hostPath(base + ".IND"), platform::hostPath(base + ".DIF"), g.db)) {
    releaseDiphoneSynth();
    return 1;
  }
  if (!loadDiphoneRules(platform::hostPath(diphones + "regras.rgr"), g.text.rules) ||
      !loadDiphoneExceptions(platform::hostPath(diphones + "portug.exc"), g.text.exceptions)) {
    releaseDiphoneSynth();
    return 2;
  }
  g.letterDir = letters;
  g.out.play = playImageAndWait;
  g.loaded = true;
  return 0;
}

void releaseDiphoneSynth() {
  const DiphoneSpeed speed = g.speed;
  g = Synth{};
  g.speed = speed;
}

void setDiphoneSpeed(const DiphoneSpeed& speed) { g.speed = speed; }

std::string textToPhones(std::string_view text) { return g.loaded ? textToPhones(g.text, text) : std::string(); }

void speakPhones(std::string_view phones) {
  if (g.loaded) speakPhones(g.db, g.letterDir, g.speed, phones, g.out);
}

const std::string& letterFileDir() { return g.letterDir; }

}  // namespace speech
