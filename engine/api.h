// What a command library sees of the interpreter: Status, the operand
// readers, the variables, where the run goes next, the channel status, the
// program's parameters, and a place for the library's own state. Libraries
// include this rather than the core's headers; the interpreter itself is
// engine/interp.h.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "engine/clock.h"
#include "engine/command.h"
#include "engine/readers.h"
#include "engine/status.h"
#include "engine/variables.h"

namespace engine {

struct Interp;

// ---- Where the run goes. A handler that moves execution sets the line it
// ends on; the run goes on after it.
int currentLine(const Interp& in);
void setCurrentLine(Interp& in, int line);
// To the label line of that name (any letter case); false when there is none.
Status goToLabel(Interp& in, std::string_view name);
// CHAMA and RETORNA: at most 20 calls without return, each said when broken.
Status callLabel(Interp& in, std::string_view name);
Status returnFromCall(Interp& in);
// Executes one command line; nested lines (behind a one-line SE) refuse the
// block keywords. A failure's message has been reported already: the failure
// handed back is silent.
Status runCommandLine(Interp& in, std::string_view text, bool nested);

// ---- What the last channel or window operation left, for CHECA.
int32_t channelStatus(const Interp& in);
void setChannelStatus(Interp& in, int32_t status);

// ---- The program's command-line parameters, and when the interpreter began.
const std::vector<std::string>& params(const Interp& in);
const WallTime& startTime(const Interp& in);

// ---- A library's own state (a search under way, the byte file...): one
// object of each type per interpreter, made empty on first use, gone with it.
class LibraryStates {
 public:
  template <typename T>
  T& get() {
    std::unique_ptr<Slot>& slot = slots_[&kTag<T>];
    if (!slot) slot = std::make_unique<Holder<T>>();
    return static_cast<Holder<T>&>(*slot).value;
  }

 private:
  struct Slot {
    virtual ~Slot() = default;
  };
  template <typename T>
  struct Holder final : Slot {
    T value{};
  };
  template <typename T>
  static constexpr char kTag = 0;  // its address names the type
  std::unordered_map<const void*, std::unique_ptr<Slot>> slots_;
};

LibraryStates& libraryStates(Interp& in);

template <typename T>
T& libraryState(Interp& in) {
  return libraryStates(in).get<T>();
}

}  // namespace engine
