// speech-dispatcher with its espeak-ng module, run by a test or a benchmark
// on a socket of its own and speaking into the null sink of a PulseAudio of
// its own, whose monitor can be recorded. Both end with the object.
#pragma once
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "support/scratch.h"

extern char** environ;

namespace testsupport {

// A program run beside the test with more environment, ended with SIGTERM.
class Daemon {
 public:
  Daemon(std::vector<std::string> argv, const std::vector<std::string>& env) {
    std::vector<std::string> all = env;
    for (char** e = environ; *e; ++e) all.emplace_back(*e);
    std::vector<char*> a, e;
    for (std::string& s : argv) a.push_back(s.data());
    for (std::string& s : all) e.push_back(s.data());
    a.push_back(nullptr);
    e.push_back(nullptr);
    if (::posix_spawnp(&pid_, a[0], nullptr, nullptr, a.data(), e.data()) != 0) pid_ = -1;
  }
  ~Daemon() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGTERM);
    ::waitpid(pid_, nullptr, 0);
  }
  Daemon(const Daemon&) = delete;
  Daemon& operator=(const Daemon&) = delete;

 private:
  pid_t pid_ = -1;
};

inline bool waitForFile(const std::string& path) {
  for (int i = 0; i < 200; ++i) {
    if (std::filesystem::exists(path)) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return false;
}

class SpeechServers {
 public:
  SpeechServers() {
    const std::string d = dir_.path();
    std::filesystem::create_directories(d + "/cfg/modules");
    std::ofstream(d + "/cfg/modules/espeak-ng.conf") << "Debug 0\n";  // the module's own defaults
    std::ofstream(d + "/cfg/speechd.conf") << "LogLevel 3\nLogDir \"" << d << "\"\nAudioOutputMethod \"pulse\"\n"
                                           << "AddModule \"espeak-ng\" \"sd_espeak-ng\" \"espeak-ng.conf\"\n"
                                           << "DefaultModule espeak-ng\nDefaultLanguage \"pt-BR\"\n";
    env_ = {"HOME=" + d, "XDG_RUNTIME_DIR=" + d, "PULSE_RUNTIME_PATH=" + d, "PULSE_SERVER=unix:" + d + "/pulse.sock"};
    pulse_ = std::make_unique<Daemon>(
        std::vector<std::string>{"pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1", "--disable-shm=yes",
                                 "--use-pid-file=no", "--log-target=file:" + d + "/pulse.log",
                                 "--load=module-native-protocol-unix auth-anonymous=1 socket=" + d + "/pulse.sock",
                                 "--load=module-null-sink sink_name=escuta"},
        env_);
    if (!waitForFile(d + "/pulse.sock")) return;
    dispatcher_ = std::make_unique<Daemon>(
        std::vector<std::string>{"speech-dispatcher", "-s", "-t", "0", "-C", d + "/cfg", "-c", "unix_socket", "-S",
                                 d + "/sd.sock", "-P", d + "/sd.pid"},
        env_);
    ready_ = waitForFile(d + "/sd.sock");
  }

  bool ok() const { return ready_; }
  // For the clients: this server, and no other started in its place.
  std::string address() const { return "unix_socket:" + dir_ / "sd.sock"; }
  std::string clientEnvironment() const { return "SPEECHD_ADDRESS=" + address() + " SPEECHD_CMD=/bin/false"; }

  // Records what the sink plays (16-bit mono at 16 kHz) while `during` runs,
  // and a little after, for speech still coming.
  template <typename F>
  std::vector<int16_t> record(F during) {
    const std::string raw = dir_ / "heard.raw";
    std::filesystem::remove(raw);
    {
      Daemon parec({"parec", "-d", "escuta.monitor", "--raw", "--format=s16le", "--rate=16000", "--channels=1",
                    "--latency-msec=20", raw},
                   env_);
      std::this_thread::sleep_for(std::chrono::milliseconds(300));
      during();
      std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    }
    const std::string bytes = slurp(raw);
    std::vector<int16_t> s(bytes.size() / 2);
    for (size_t i = 0; i < s.size(); ++i) {
      s[i] = static_cast<int16_t>(static_cast<uint8_t>(bytes[2 * i]) | static_cast<uint8_t>(bytes[2 * i + 1]) << 8);
    }
    return s;
  }

 private:
  ScratchDir dir_;
  std::vector<std::string> env_;
  std::unique_ptr<Daemon> pulse_, dispatcher_;
  bool ready_ = false;
};

}  // namespace testsupport
