// A stand-in for the portal client in the companion's tests, built under the
// client's own name so that the companion finds it, stops it and starts it as
// it would the client. It notes on TELINHA_STANDIN_LOG when it starts, when
// it is stopped and when it ends by itself, after TELINHA_STANDIN_SECONDS (30
// by default); on ending by itself it also notes whether the portal's request
// log (TELINHA_STANDIN_WATCH) already held an end of connection.
#include <fcntl.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

namespace {

int g_log = -1;

void note(const char* text) {
  if (g_log >= 0) (void)!::write(g_log, text, std::char_traits<char>::length(text));
}

void onStop(int) {
  note("stopped\n");
  ::_exit(0);
}

bool watchedHolds(const char* file, const std::string& text) {
  if (!file) return false;
  std::ifstream in(file);
  std::stringstream all;
  all << in.rdbuf();
  return all.str().find(text) != std::string::npos;
}

}  // namespace

int main() {
  if (const char* log = std::getenv("TELINHA_STANDIN_LOG")) g_log = ::open(log, O_WRONLY | O_CREAT | O_APPEND, 0644);
  std::signal(SIGTERM, onStop);
  note("started\n");
  const char* seconds = std::getenv("TELINHA_STANDIN_SECONDS");
  ::usleep(static_cast<useconds_t>((seconds ? std::atof(seconds) : 30.0) * 1e6));
  note(watchedHolds(std::getenv("TELINHA_STANDIN_WATCH"), "/desconectar") ? "ended after the end of connection\n"
                                                                            : "ended\n");
  return 0;
}
