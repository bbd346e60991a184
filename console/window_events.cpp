// The console's window procedure: what each event of the window does, and
// the ways the program ends from there.
#include <cstdio>

#include "console/braille_line.h"
#include "console/console_state.h"
#include "console/keyboard.h"
#include "platform/platform.h"

namespace console {

void showCaret(bool visible) {
  const ScreenState& s = g_screen;
  const bool on = visible && s.waitingForKey && s.focused;
  platform::backend().setCaret(on, {s.col * s.cell.cellWidth, s.row * s.cell.cellHeight + s.cell.ascent,
                                     s.cell.cellWidth, 2});
}

void handleEvent(const platform::Event& ev) {
  using platform::EventType;
  switch (ev.type) {
    case EventType::KeyDown: onKeyDown(ev.key, ev.mods, ev.system); break;
    case EventType::KeyUp: onKeyUp(ev.key, ev.mods); break;
    case EventType::Char: onChar(ev.ch); break;
    case EventType::MouseDown: onMouseDown(ev.button, ev.mods); break;
    case EventType::Wheel: onWheel(ev.wheel, ev.mods); break;
    case EventType::FocusGained:
    case EventType::FocusLost:
      g_screen.focused = ev.type == EventType::FocusGained;
      showCaret(g_screen.focused);
      onFocus(g_screen.focused, ev.buttonsDown);
      brailleWindowFocus(g_screen.focused);
      break;
    case EventType::Expose: paint({ev.x, ev.y, ev.w, ev.h}); break;
    case EventType::Close: closeConsole();
    case EventType::InputEnd:
      platform::fail(3, platform::keyScriptGiven()
                            ? "The key script has ended while the program waits for a key."
                            : "The program waits for a key, and nothing can answer it: a headless run reads "
                              "its keys from a key script (--keys).");
    case EventType::TimeUp:
      platform::fail(4, "The run's time limit has passed.");
    case EventType::AudioDone:
      if (g_screen.waveDone) g_screen.waveDone(ev.block);
      break;
    case EventType::BrailleKey: onBrailleKey(ev.braille); break;
    case EventType::Wake:
      if (g_screen.wake) g_screen.wake();
      break;
  }
}

void setWaveDoneHook(WaveDoneHook hook) { g_screen.waveDone = hook; }
void setWakeHook(WakeHook hook) { g_screen.wake = hook; }

void pumpMessages() {
  platform::Event ev;
  while (platform::nextEvent(ev, 0)) handleEvent(ev);
}

void waitMessage(int timeoutMs) {
  platform::Event ev;
  if (platform::nextEvent(ev, timeoutMs)) handleEvent(ev);
  pumpMessages();
}

void delayMs(int n) {
  platform::sleepMs(n & 0xFFFF);
  pumpMessages();
}

void closeConsole(int status) {
  if (g_screen.created) {
    showCaret(false);
    drainKeys();
    platform::backend().closeWindow();
    g_screen.created = false;
  }
  std::exit(status);
}

}  // namespace console
