// download_bench: a 200 MB file served by nginx on loopback, fetched by
// roteiro running TRAZDAREDE and by curl, over plain HTTP and over HTTPS
// (a test CA made for the run), in the same session. Prints each one's best
// throughput of five runs, checks every copy is whole, and gives the ratio
// TRAZDAREDE / curl (the goal is at least 0.9). roteiro's own start, timed
// on a script that only ends, is taken off its times, so that the download
// itself is compared; the figures with it are shown too.
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "support/nginx.h"
#include "support/scratch.h"
#include "support/test_ca.h"

namespace {

constexpr size_t kMB = 1024 * 1024;
constexpr size_t kSize = 200 * kMB;
constexpr int kRuns = 5;

// Seconds a shell command took; negative when it failed.
double timed(const std::string& command) {
  const auto start = std::chrono::steady_clock::now();
  const int status = std::system(command.c_str());
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? seconds : -1;
}

// The best of kRuns, each into a file that does not exist yet (one that did
// would be resumed); the copy must be as large as the original, unless no
// copy is asked for.
double best(const std::string& command, const std::string& out) {
  double b = -1;
  for (int i = 0; i < kRuns; ++i) {
    if (!out.empty()) std::filesystem::remove(out);
    const double s = timed(command);
    std::error_code e;
    if (s < 0 || (!out.empty() && std::filesystem::file_size(out, e) != kSize)) return -1;
    if (b < 0 || s < b) b = s;
  }
  return b;
}

}  // namespace

int main() {
  testsupport::ScratchDir dir;
  const nettest::TestCa ca;
  const nettest::Nginx nginx("", &ca);
  if (!ca.ok() || !nginx.ok()) {
    std::fprintf(stderr, "could not start nginx with a test CA\n");
    return 1;
  }
  {
    // Bytes of every value, one megabyte repeated.
    std::string block(kMB, '\0');
    uint32_t seed = 7;
    for (char& c : block) {
      seed = seed * 1664525u + 1013904223u;
      c = static_cast<char>(seed >> 24);
    }
    std::filesystem::create_directories(nginx.root());
    std::ofstream big(nginx.root() + "/big.bin", std::ios::binary);
    for (size_t i = 0; i < kSize / kMB; ++i) big.write(block.data(), static_cast<std::streamsize>(block.size()));
  }
  const std::string out = dir / "copy.bin";
  std::ofstream(dir / "Escuta.ini") << "[TLS]\r\nCERTIFICADOS=" << ca.file("ca.pem") << "\r\n";
  std::ofstream(dir / "k.txt") << "key Enter\n";
  const std::string roteiro = "cd " + dir.path() + " && " ROTEIRO " --frontend headless --config-dir " + dir.path() +
                              " --keys k.txt ";
  std::ofstream(dir / "end.txt") << "termina mudo\n";
  const double start = best(roteiro + "end.txt >/dev/null 2>&1", "");
  std::printf("roteiro's own start: %.3f s; file: %zu MB\n", start, kSize / kMB);
  std::printf("%-7s %14s %14s %14s %8s\n", "", "TRAZDAREDE", "(with start)", "curl", "ratio");
  bool allGood = true;
  for (const bool secure : {false, true}) {
    const std::string url = secure ? "https://localhost:" + std::to_string(nginx.tlsPort()) + "/big.bin"
                                   : "http://127.0.0.1:" + std::to_string(nginx.port()) + "/big.bin";
    std::ofstream(dir / "s.txt") << "trazdarede \"" << url << "\" \"copy.bin\" 0 \"bench\" \"\" r\ntermina mudo\n";
    const double ours = best(roteiro + "s.txt >/dev/null 2>&1", out);
    const double curl =
        best("curl -sf --cacert " + ca.file("ca.pem") + " -o " + out + " " + url + " >/dev/null 2>&1", out);
    const char* name = secure ? "HTTPS" : "HTTP";
    if (ours < 0 || curl < 0) {
      std::printf("%-7s %14s %14s %14s\n", name, ours < 0 ? "failed" : "ok", "", curl < 0 ? "failed" : "ok");
      allGood = false;
      continue;
    }
    const double mb = static_cast<double>(kSize) / kMB;
    const double transfer = std::max(ours - start, 1e-3);
    std::printf("%-7s %9.0f MB/s %9.0f MB/s %9.0f MB/s %8.2f\n", name, mb / transfer, mb / ours, mb / curl,
                curl / transfer);
  }
  return allGood ? 0 : 1;
}
