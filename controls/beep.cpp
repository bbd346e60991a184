#include "controls/beep.h"

#include "console/keyboard.h"
#include "speech/click_beep.h"

namespace controls {

void beep() {
  if (!console::keyPressed()) speech::playBeep();
}

}  // namespace controls
