#include "platform/brlapi/brlapi_keys.h"

#include <brlapi.h>

namespace platform {
namespace {

BrailleKey key(int k) {
  BrailleKey b;
  b.kind = BrailleKey::Kind::Key;
  b.key = k;
  return b;
}

// BRLTTY's commands and the keys they are. Lines up and down move as Up and
// Down; the ends of a line as Home and End. Dots (typed chords, dots 7 and 8
// included, which the console reads as Backspace, Enter and Esc) and routing
// keys are taken apart below; any other command is a key the console does
// not know.
struct CommandKey {
  uint64_t command;
  int key;
};
constexpr CommandKey kCommands[] = {
    {BRLAPI_KEY_CMD_LNUP, kKeyUp},
    {BRLAPI_KEY_CMD_LNDN, kKeyDown},
    {BRLAPI_KEY_CMD_LNBEG, kKeyHome},
    {BRLAPI_KEY_CMD_LNEND, kKeyEnd},
};

// Keys of a display's own keyboard, as X key symbols.
struct SymbolKey {
  uint64_t symbol;
  int key;
};
constexpr SymbolKey kSymbols[] = {
    {BRLAPI_KEY_SYM_UP, kKeyUp},         {BRLAPI_KEY_SYM_DOWN, kKeyDown},
    {BRLAPI_KEY_SYM_HOME, kKeyHome},     {BRLAPI_KEY_SYM_END, kKeyEnd},
    {BRLAPI_KEY_SYM_LINEFEED, kKeyEnter}, {BRLAPI_KEY_SYM_BACKSPACE, kKeyBackspace},
    {BRLAPI_KEY_SYM_ESCAPE, kKeyEscape},
};

// What BRLTTY sends that no one pressed.
constexpr uint64_t kNotKeys[] = {BRLAPI_KEY_CMD_NOOP, BRLAPI_KEY_CMD_RESTARTBRL, BRLAPI_KEY_CMD_RESTARTSPEECH,
                                 BRLAPI_KEY_CMD_OFFLINE};

}  // namespace

std::optional<BrailleKey> brailleKeyOf(uint64_t code) {
  const uint64_t type = code & BRLAPI_KEY_TYPE_MASK;
  const uint64_t value = code & BRLAPI_KEY_CODE_MASK;
  if (type == BRLAPI_KEY_TYPE_SYM) {
    for (const SymbolKey& s : kSymbols) {
      if (s.symbol == value) return key(s.key);
    }
    return BrailleKey{};
  }
  const uint64_t block = value & BRLAPI_KEY_CMD_BLK_MASK;
  const uint64_t argument = value & BRLAPI_KEY_CMD_ARG_MASK;
  if (block == BRLAPI_KEY_CMD_PASSDOTS) {
    BrailleKey b;
    b.kind = BrailleKey::Kind::Dots;
    b.dots = static_cast<uint8_t>(argument & 0xFF);
    b.space = (argument & BRLAPI_DOTC) || (code & BRLAPI_KEY_FLG_CONTROL);
    return b;
  }
  if (block == BRLAPI_KEY_CMD_ROUTE) {
    BrailleKey b;
    b.kind = BrailleKey::Kind::Route;
    b.cell = static_cast<int>(argument);
    return b;
  }
  for (uint64_t c : kNotKeys) {
    if (value == c) return std::nullopt;
  }
  for (const CommandKey& c : kCommands) {
    if (value == c.command) return key(c.key);
  }
  return BrailleKey{};
}

}  // namespace platform
