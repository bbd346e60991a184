#include "speech/speed_table.h"

#include <string>

#include "settings/settings.h"

namespace speech {
namespace {

constexpr const char* kKeys[] = {"CORTEFON",  "SOBRAFON",   "INTERPAL",  "CORTAFALA",      "RAPIDINHO",
                                 "PAUSAPONTO", "PAUSAVIRG", "PAUSADOISPONTOS"};

// One row a speed, in the order of kKeys: bytes cut from unstressed units,
// the shortest they become, the gap after each word in samples, pitch-period
// cutting, the 1.5x rate, and the pauses in milliseconds.
constexpr const char* kTable[5][8] = {
    {"0", "0", "1400", "Nao", "Nao", "450", "250", "350"},
    {"0", "0", "600", "Nao", "Nao", "350", "200", "270"},
    {"0", "0", "0", "Nao", "Nao", "250", "150", "200"},
    {"500", "800", "0", "Nao", "Nao", "180", "100", "140"},
    {"0", "0", "0", "Sim", "Nao", "120", "60", "100"},
};
}  // namespace

void writeDefaultSpeedTable() {
  for (int speed = 1; speed <= 5; ++speed) {
    const std::string digit = std::to_string(speed);
    bool any = false;
    for (const char* key : kKeys) any = any || !settings::readSetting("SINTETIZADOR", key + digit).empty();
    if (any) continue;
    for (int k = 0; k < 8; ++k) settings::writeSetting("SINTETIZADOR", kKeys[k] + digit, kTable[speed - 1][k]);
  }
}

}  // namespace speech
