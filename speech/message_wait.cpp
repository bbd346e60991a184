#include "speech/message_wait.h"

#include "console/screen.h"

namespace speech {
namespace {
// Conditions not announced by an event (a synthesizer's own state) are
// looked at again this often.
constexpr int kPollMs = 20;
}  // namespace

void waitWhile(bool (*busy)()) {
  while (busy()) console::waitMessage(kPollMs);
}

}  // namespace speech
