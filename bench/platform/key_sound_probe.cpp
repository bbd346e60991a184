// The program tty_bench.py types into, in a terminal and in a window alike:
// it echoes each key by voice, as the line editor does, and writes on the
// descriptor named by ESCUTA_BENCH_FD when the device took the echo's first
// sample, in microseconds of the steady clock the benchmark reads too.
// "ready" first, once it can take keys. Esc ends it. Run by the benchmark.
#include <cstdio>
#include <cstdlib>

#include "bench/speech/device_latency.h"
#include "console/program.h"
#include "platform/platform.h"
#include "speech/speech_service.h"

int main(int argc, char** argv) {
  const char* fd = std::getenv("ESCUTA_BENCH_FD");
  FILE* out = fd ? ::fdopen(std::atoi(fd), "w") : nullptr;
  if (!out) return 2;
  platform::Options options;
  if (const int status = console::startProgram(argc, argv, "", options); status >= 0) return status;
  speech::startSpeechModules();
  speech::initSpeech(0, "");
  console::writeLine("pronto");
  std::fprintf(out, "ready\n");
  std::fflush(out);
  for (;;) {
    const int64_t before = platform::clockUs();
    if (speech::echoKey() == 27) return 0;
    std::fprintf(out, "%lld\n", static_cast<long long>(bench::deviceTimeAfter(before, &platform::AudioTimes::startedUs)));
    std::fflush(out);
    speech::waitWhileSpeaking();
  }
}
