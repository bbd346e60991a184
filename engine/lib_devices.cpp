// Device commands: a picture over the console's text, notes on the MIDI
// output, and the switches of the parallel port's sensor matrix.
#include <memory>
#include <string>

#include "automation/parallel_port.h"
#include "automation/sensor_matrix.h"
#include "console/picture.h"
#include "console/screen.h"
#include "engine/api.h"
#include "engine/libraries.h"
#include "engine/readers.h"
#include "engine/text.h"
#include "engine/variables.h"
#include "midi/midi.h"
#include "speech/speech_service.h"

namespace engine {
namespace {

constexpr int kChannels = 16;
constexpr int kNotes = 128;
constexpr uint32_t kNoteOn = 0x90;
constexpr uint32_t kControlChange = 0xB0;
constexpr uint32_t kProgramChange = 0xC0;
constexpr uint32_t kAllSoundOff = 120;

// IMAGEM [file [x y]] [&]: with "&" a picture that cannot be loaded is no error.
Status imagem(Interp& in, std::string_view text) {
  if (text.empty()) {
    console::clearPicture();
    return true;
  }
  const bool mayFail = text.back() == '&';
  if (mayFail) text = trim(text.substr(0, text.size() - 1));
  std::string file;
  int32_t x = 0, y = 0;
  if (!readOperand(in, text, file)) return false;
  if (!text.empty() && (!readNumber(in, text, x) || !readNumber(in, text, y) || !text.empty())) return false;
  console::clearPicture();
  if (trim(file).empty()) return true;
  if (!console::loadPicture(file)) return mayFail;
  console::showPicture(x, y);
  return true;
}

uint32_t shortMessage(uint32_t status, int channel, int32_t data1, int32_t data2 = 0) {
  return status + static_cast<uint32_t>(channel - 1) + 256 * static_cast<uint32_t>(data1) +
         65536 * static_cast<uint32_t>(data2);
}

// The numbers of a note or program form: each whole, channel 1..16, the
// rest 0..127, nothing after them.
bool readMidiNumbers(Interp& in, std::string_view text, int32_t& channel, std::initializer_list<int32_t*> data) {
  if (!readNumber(in, text, channel) || channel < 1 || channel > kChannels) return false;
  for (int32_t* d : data) {
    if (!readNumber(in, text, *d) || *d < 0 || *d >= kNotes) return false;
  }
  return text.empty();
}

Status midiCommand(Interp& in, std::string_view text) {
  const std::string word = upper(text);
  if (word == "INICIA") {
    if (midi::isOpen()) return false;
    std::string why;
    if (!midi::open(why)) return failSaying(why);
    midi::send(255);  // reset
    midi::send(63);
    return true;
  }
  if (!midi::isOpen()) return false;
  if (word == "TERMINA") {
    midi::close();
    return true;
  }
  if (word == "PANE") {
    for (int channel = 1; channel <= kChannels; ++channel) {
      for (int note = 0; note < kNotes; ++note) midi::send(shortMessage(kNoteOn, channel, note));
      // A released note may ring on in its sound's tail: silenced as well.
      midi::send(shortMessage(kControlChange, channel, kAllSoundOff));
    }
    return true;
  }
  const std::string form = word.substr(0, 2);
  text = text.substr(std::min<size_t>(2, text.size()));
  int32_t channel = 0, note = 0, velocity = 0, program = 0;
  if (form == "NL") {
    if (!readMidiNumbers(in, text, channel, {&note, &velocity})) return false;
    midi::send(shortMessage(kNoteOn, channel, note, velocity));
    return true;
  }
  if (form == "ND") {
    if (!readMidiNumbers(in, text, channel, {&note})) return false;
    midi::send(shortMessage(kNoteOn, channel, note));
    return true;
  }
  if (form == "TT") {
    if (!readMidiNumbers(in, text, channel, {&program})) return false;
    if (!midi::send(shortMessage(kProgramChange, channel, program))) console::writeLine("erro em ProgramChange");
    return true;
  }
  return false;
}

struct SensorState {
  std::unique_ptr<automation::SensorMatrix> matrix;  // once the port has been had
};

// SENSOR v: the first closed switch, 1..32, or 0.
Status sensor(Interp& in, std::string_view text) {
  int code = 0;
  if (!readTarget(in, text, code) || !text.empty()) return false;
  SensorState& state = libraryState<SensorState>(in);
  if (!state.matrix) {
    if (auto port = automation::openParallelPort(automation::kParallelPortDevice)) {
      state.matrix = std::make_unique<automation::SensorMatrix>(std::move(port));
    } else {
      speech::sayLine(std::string("Porta paralela ") + automation::kParallelPortDevice + " n\xE3o dispon\xEDvel.");
    }
  }
  return setVariable(in, code, std::to_string(state.matrix ? state.matrix->firstActive() : 0));
}

constexpr Command kCommands[] = {
    {"IMAGEM", imagem},
    {"MIDI", midiCommand},
    {"SENSOR", sensor},
};

}  // namespace

Library deviceLibrary() { return kCommands; }

}  // namespace engine
