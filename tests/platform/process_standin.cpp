// A program that waits until it is ended, whatever its arguments: the
// running program of the tests of which programs are seen and stopped. With
// STANDIN_HOLD set it does not end on SIGTERM.
#include <signal.h>
#include <unistd.h>

#include <cstdlib>

int main() {
  if (std::getenv("STANDIN_HOLD")) ::signal(SIGTERM, SIG_IGN);
  for (;;) ::pause();
}
