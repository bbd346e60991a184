// Script text through the engine in the headless backend. Commands that reach
// outside the process (files written or removed, programs, the network, the
// keyboard, sound devices, waits) are left out: the fuzzer must not touch the
// machine it runs on, and a key read with no keys would end the process.
#include <cstdlib>
#include <string>
#include <vector>

#include "console/program.h"
#include "engine/condition.h"
#include "engine/engine.h"
#include "engine/expression.h"
#include "engine/readers.h"
#include "engine/registry.h"
#include "engine/spoken_reporter.h"
#include "engine/text_budget.h"
#include "engine/interp.h"
#include "engine/store.h"
#include "engine/text.h"
#include "engine/variables.h"
#include "fuzz/entries.h"
#include "fuzz/scratch_file.h"
#include "platform/base/paths.h"
#include "platform/clock.h"
#include "speech/diphone/diphone_db.h"
#include "speech/diphone_synth.h"

namespace fuzz {
namespace {

constexpr int kMaxScriptLines = 64;
// Loops end after this many lines run, so every input finishes quickly.
constexpr int kMaxSteps = 300;
constexpr int kClockSpeed = 5000;

constexpr std::string_view kLeftOut[] = {
    "ABRE",     "INTERNET", "CONECTA",   "ATIVASSL", "SERVE",      "OBSERVA",  "TOCA",
    "MCI",      "L\xCA",    "REMOVE",   "RENOMEIA",   "REPLICA",  "CMD",
    "ESPERA",   "ENVIACMD", "DIGITA",    "ACIONA",   "CLICA",      "CAPTURA",  "TRANSFERE",
    "JANELA",   "EXECUTA",  "ALARME",    "GRAVABYTES", "CRIABIN",  "BUSCA",    "DIR",
    "MENU",     "MENSAGEM", "SINTCONFIG", "TRAZDAREDE", "CODARQBASE64", "DECODARQBASE64",
    "MSAA",     "SENSOR",   "HANDLE",    "MIDI",     "IMAGEM",
};

// Each left-out command in both its forms (L\xCA and LE), as the table
// knows them.
const std::vector<std::string_view>& leftOutForms() {
  static const std::vector<std::string_view> forms = [] {
    std::vector<std::string_view> out;
    for (std::string_view word : kLeftOut) {
      const engine::Entry* entry = engine::findCommand(word);
      if (!entry) std::abort();
      for (std::string_view form : entry->forms) {
        if (!form.empty()) out.push_back(form);
      }
    }
    return out;
  }();
  return forms;
}

// A command's keyword ends at a blank or the end of its text and may begin
// anywhere (behind a one-line SE's condition), so any such ending counts.
bool reachesOutside(std::string_view text) {
  const std::string upper = engine::upper(text);
  for (std::string_view word : leftOutForms()) {
    for (size_t at = upper.find(word); at != std::string::npos; at = upper.find(word, at + 1)) {
      const size_t end = at + word.size();
      if (end == upper.size() || engine::isBlank(upper[end])) return true;
    }
  }
  return false;
}

// A small voice below the scratch root: the real rules with a few units,
// enough for speech to start and to speak through every stage.
void makeVoice() {
  const std::string dir = "root/audiwin/som/difones/";
  std::string rules, exceptions;
  if (!platform::readWholeFile(ESCUTA_SOURCE_DIR "/data/difones/regras.rgr", rules) ||
      !platform::readWholeFile(ESCUTA_SOURCE_DIR "/data/difones/portug.exc", exceptions))
    std::abort();
  scratchFile(dir + "regras.rgr", rules);
  scratchFile(dir + "portug.exc", exceptions);
  scratchFile(dir + std::string(speech::kDiphoneDbName) + ".IND",
              speech::encodeIndex({{"A", 300, 0}, {"A-_", 300, 300}, {"_-A", 300, 600}}));
  scratchFile(dir + std::string(speech::kDiphoneDbName) + ".DIF", std::string(900, '\x80'));
  scratchFile("root/audiwin/som/letras/_a.wav", "");
}

engine::SpokenReporter g_reporter;
// The bound of the script's texts that Escuta.ini sets, read once.
size_t g_textBound = engine::kDefaultTextBound;

void startEngineOnce() {
  static const bool started = [] {
    makeVoice();
    // Speech pauses at punctuation are real waits; without them many more
    // inputs run in the same time. The script's texts are bounded well
    // below the fuzzer's memory limit.
    scratchFile("Escuta.ini",
                "[ESCUTA]\r\nMEMORIAMAXIMA=256\r\n[TRADUTOR]\r\nVELOCIDADE=3\r\n"
                "[SINTETIZADOR]\r\nPAUSAPONTO3=0\r\nPAUSAVIRG3=0\r\nPAUSADOISPONTOS3=0\r\n");
    const std::string root = scratchDir() + "/root";
    ::setenv("ESCUTA_ROOT", root.c_str(), 1);
    std::string dir = scratchDir();
    const char* argv[] = {"escuta_fuzz", "--frontend", "headless", "--config-dir", dir.c_str(),
                          "--time-limit", "100000000"};
    platform::Options options;
    if (console::startProgram(7, const_cast<char**>(argv), "", options) != -1) std::abort();
    // Far faster than a run's option allows: speech is waited for block by
    // block, and most of the time went there.
    platform::setClockSpeed(kClockSpeed);
    engine::Interp in(g_reporter);
    engine::startEngine(in, "fuzz");
    g_textBound = in.texts.bound;
    return true;
  }();
  (void)started;
}

void setSomeVariables(engine::Interp& in) {
  // Small texts, far below the bound: they are always taken.
  (void)engine::setVariable(in, 'A', "21");
  (void)engine::setVariable(in, 'B', "texto com espa\xE7os");
  (void)engine::setVariable(in, 'C', "-7");
  (void)engine::setVariable(in, engine::enterName(in, "NOME"), "3");
}

}  // namespace

void scriptLines(std::string_view bytes) {
  if (reachesOutside(bytes)) return;
  startEngineOnce();
  engine::Interp in(g_reporter);
  engine::setTextBound(in, g_textBound);
  setSomeVariables(in);
  int count = 0;
  while (count < kMaxScriptLines && !bytes.empty()) {
    const size_t end = bytes.find('\n');
    engine::storeLine(in, bytes.substr(0, end), ++count);
    bytes = end == std::string_view::npos ? std::string_view() : bytes.substr(end + 1);
  }
  engine::RunState& s = in.run;
  s.line = 1;
  s.error = s.stop = false;
  for (int step = 0; step < kMaxSteps && s.line <= engine::lineCount(in) && !s.stop && !s.error; ++step) {
    (void)engine::runCommandLine(in, engine::lineText(in, s.line), false);
    if (!s.stop && !s.error) ++s.line;
  }
}

void expression(std::string_view bytes) {
  engine::Interp in(g_reporter);
  setSomeVariables(in);
  std::string_view text = bytes;
  int64_t number = 0;
  engine::evaluateExpression(in, text, number);
  text = bytes;
  bool truth = false;
  engine::evaluateCondition(in, text, truth);
  text = bytes;
  std::string value;
  for (size_t left = text.size(); engine::readOperand(in, text, value) && text.size() < left; left = text.size()) {
  }
}

}  // namespace fuzz
