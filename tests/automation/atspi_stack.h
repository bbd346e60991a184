// The accessibility stack for the tests, on a desktop made by XDesktop: a
// private D-Bus session bus on a socket in a scratch folder, the AT-SPI bus
// launcher (which starts the accessibility bus and, through it, the
// registry) and a small GTK 3 window, "Alvo AT-SPI", with a button, a ticked
// check box ("Caixa"), a text entry ("Campo", "texto inicial"), a slider
// ("Volume", 30) and a button that cannot be used ("Desligado"). Programs
// started after it find the bus through the environment.
#pragma once
#include <sys/types.h>

#include "support/scratch.h"
#include "x_desktop.h"

namespace testsupport {

class AtspiStack {
 public:
  explicit AtspiStack(const XDesktop& desktop);
  ~AtspiStack();
  AtspiStack(const AtspiStack&) = delete;
  AtspiStack& operator=(const AtspiStack&) = delete;

  // Whether the bus runs and the window is up; its X window then.
  bool ready() const { return window_ != 0; }
  unsigned long window() const { return window_; }

 private:
  ScratchDir dir_;
  pid_t bus_ = -1;
  pid_t launcher_ = -1;
  pid_t target_ = -1;
  unsigned long window_ = 0;
};

}  // namespace testsupport
