// mbrola_standin: stands in for the `mbrola` program in tests. It appends its
// arguments and every line it reads (CR included) to the file
// $MBROLA_STANDIN_LOG, and answers each phoneme line "name ms [pos hz]..."
// with ms x 16 samples at 16000 Hz: silence for "_", else a tone at the
// line's first pitch (100 Hz without one). "#" flushes what it wrote; a
// line starting with "die" makes it exit, as a program that failed would.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

int main(int argc, char** argv) {
  const char* logPath = std::getenv("MBROLA_STANDIN_LOG");
  std::FILE* log = logPath ? std::fopen(logPath, "ab") : nullptr;
  if (log) {
    std::fprintf(log, "ARGS");
    for (int i = 1; i < argc; ++i) std::fprintf(log, " %s", argv[i]);
    std::fprintf(log, "\n");
    std::fflush(log);
  }
  char line[4096];
  double phase = 0;
  while (std::fgets(line, sizeof line, stdin)) {
    if (log) {
      std::fputs(line, log);
      std::fflush(log);
    }
    if (std::strncmp(line, "die", 3) == 0) return 3;
    if (line[0] == '#') {
      std::fflush(stdout);
      continue;
    }
    if (line[0] == ';' || line[0] == '\r' || line[0] == '\n') continue;
    char name[16];
    int ms = 0, position = 0, hz = 0;
    const int fields = std::sscanf(line, "%15s %d %d %d", name, &ms, &position, &hz);
    if (fields < 2 || ms <= 0) continue;
    if (fields < 4) hz = 100;
    const bool pause = name[0] == '_';
    std::vector<int16_t> samples(static_cast<size_t>(ms) * 16);
    for (int16_t& s : samples) {
      phase += 2 * M_PI * hz / 16000.0;
      s = pause ? 0 : static_cast<int16_t>(8000 * std::sin(phase));
    }
    std::fwrite(samples.data(), 2, samples.size(), stdout);
  }
  std::fflush(stdout);
  return 0;
}
