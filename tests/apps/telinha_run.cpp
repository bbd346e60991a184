#include "telinha_run.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

namespace telinha_run {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

void write(const std::string& file, const std::string& text) {
  fs::create_directories(fs::path(file).parent_path());
  std::ofstream(file, std::ios::binary) << text;
}

// Programs whose parent is this process: those it started, and, since it is a
// subreaper, whatever they started and left behind.
struct Child {
  pid_t pid;
  std::string name;
};
std::vector<Child> children() {
  std::vector<Child> out;
  DIR* proc = ::opendir("/proc");
  if (!proc) return out;
  while (dirent* e = ::readdir(proc)) {
    const pid_t pid = std::atoi(e->d_name);
    if (pid <= 0) continue;
    std::string stat = live::readFile("/proc/" + std::string(e->d_name) + "/stat");
    const size_t open = stat.find('('), close = stat.rfind(')');
    if (open == std::string::npos || close == std::string::npos) continue;
    std::istringstream rest(stat.substr(close + 2));
    std::string state;
    pid_t parent = 0;
    rest >> state >> parent;
    if (parent == ::getpid() && state != "Z") out.push_back({pid, stat.substr(open + 1, close - open - 1)});
  }
  ::closedir(proc);
  return out;
}

void reap() {
  while (::waitpid(-1, nullptr, WNOHANG) > 0) {
  }
}

// The transcript events a reader of a test needs, one a line.
std::string seenOf(const std::string& transcript) {
  std::string seen;
  std::istringstream lines(transcript);
  for (std::string line; std::getline(lines, line);) {
    const size_t tab = line.find('\t');
    if (tab == std::string::npos) continue;
    const std::string event = line.substr(0, tab);
    std::string text = line.substr(tab + 1);
    if (event == "SHOW" && text == "\\r\\n") continue;
    if (text.ends_with("\\r\\n")) text.resize(text.size() - 4);
    for (const char* e : {"SHOW", "SAY", "PLAY", "MENU", "RUN", "KEY", "TITLE", "ERROR", "END", "BEEP"})
      if (event == e) seen += event + " " + text + "\n";
  }
  return seen;
}

}  // namespace

bool start(Machine& m, const Options& options) {
  // Orphans of the client (its companion and monitor) come back to us, so
  // that they can be found and ended by their ids.
  ::prctl(PR_SET_CHILD_SUBREAPER, 1);
  const std::string& d = m.dir.path();
  m.home = d + "/home";
  m.config = d + "/config/Escuta";
  m.root = d + "/root";
  m.client = m.root + "/telinha";
  m.bin = d + "/bin";
  m.mpvLog = d + "/mpv.log";
  for (const std::string& p : {m.home, m.config, m.client, m.bin}) fs::create_directories(p);
  // The build tree's data, but a client directory of this machine's own,
  // holding the client's sounds and nothing else yet.
  const std::string buildRoot = std::getenv("ESCUTA_ROOT") ? std::getenv("ESCUTA_ROOT") : "";
  if (buildRoot.empty()) return false;
  for (const auto& e : fs::directory_iterator(buildRoot)) {
    if (e.path().filename() != "telinha") fs::create_directory_symlink(e.path(), m.root + "/" + e.path().filename().string());
  }
  if (fs::exists(buildRoot + "/telinha/som")) fs::create_directory_symlink(buildRoot + "/telinha/som", m.client + "/som");

  write(m.bin + "/mpv", "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done >>'" + m.mpvLog +
                            "'\necho >>'" + m.mpvLog + "'\n");
  ::chmod((m.bin + "/mpv").c_str(), 0755);

  auto portal = live::start(options.portalArgs, d + "/portal");
  if (!portal) return false;
  m.portal = *portal;
  m.started = true;
  std::string ini = live::readFile(m.portal.stateDir + "/escuta-demo.ini");
  ini += "[ESCUTA]\nTEMPOESPERAPROGVOLTAR=0\n";
  if (options.suiteUpdater) ini += "PGMESCUTA=" + std::string(TELINHA_BIN) + "\n";
  write(m.config + "/Escuta.ini", ini);
  return true;
}

namespace {

// One of the client's programs, headless, as the user of this machine starts
// it: from the home directory, with the machine's PATH, data root and
// configuration.
pid_t spawn(const Machine& m, const std::string& program, const std::vector<std::string>& options,
            const std::string& errFile) {
  const std::string& d = m.dir.path();
  const std::string path = m.bin + ":" + std::string(TELINHA_BIN) + ":" + (std::getenv("PATH") ? std::getenv("PATH") : "");
  std::vector<std::string> env{"HOME=" + m.home, "XDG_CONFIG_HOME=" + d + "/config", "ESCUTA_ROOT=" + m.root,
                               "PATH=" + path, "LC_ALL=C", "ESCUTA_FRONT_WAIT_MS=200"};
  std::vector<std::string> args{std::string(TELINHA_BIN) + "/" + program, "--frontend", "headless", "--config-dir",
                                m.config};
  args.insert(args.end(), options.begin(), options.end());
  const pid_t pid = ::fork();
  if (pid == 0) {
    if (::chdir(m.home.c_str()) != 0) ::_exit(126);
    const int e = ::open(errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ::dup2(e, 2);
    const int null = ::open("/dev/null", O_RDWR);
    ::dup2(null, 0);
    ::dup2(null, 1);
    std::vector<char*> argv, envp;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    for (std::string& v : env) envp.push_back(v.data());
    envp.push_back(nullptr);
    ::execve(argv[0], argv.data(), envp.data());
    ::_exit(127);
  }
  return pid;
}

}  // namespace

pid_t startProgram(const Machine& m, const std::string& program, const std::vector<std::string>& options) {
  return spawn(m, program, options, m.dir / (program + ".err"));
}

ClientRun runClient(Machine& m, const std::string& keys) {
  const std::string& d = m.dir.path();
  static int count = 0;
  const std::string run = d + "/run" + std::to_string(++count);
  write(run + "/keys.txt", keys);
  const std::string transcript = run + "/t.txt", err = run + "/err.txt";
  const pid_t pid = spawn(m, "telinha",
                          {"--clock-speed", "25", "--time-limit", "750", "--keys", run + "/keys.txt", "--transcript",
                           transcript},
                          err);
  int raw = 0;
  ::waitpid(pid, &raw, 0);
  ClientRun r;
  r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  r.transcript = live::readFile(transcript);
  r.seen = seenOf(r.transcript);
  r.stderrText = live::readFile(err);
  // The companion tells the portal that the session has ended once it sees
  // the client gone: a moment's wait keeps that out of the next run.
  const auto until = Clock::now() + std::chrono::seconds(5);
  for (;;) {
    reap();
    bool companion = false;
    for (const Child& c : children()) companion = companion || c.name == "telinha_con";
    if (!companion || Clock::now() > until) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return r;
}

std::vector<nlohmann::json> requests(const Machine& m) { return live::log(m.portal); }

std::vector<std::string> requestLines(const Machine& m, bool clientOnly) {
  std::vector<std::string> lines;
  for (const nlohmann::json& r : live::log(m.portal)) {
    const std::string raw = r.value("request", std::string());
    const std::string line = raw.substr(0, raw.find("\r\n"));
    const bool companion = line.starts_with("DELETE /desconectar");
    const bool monitor = raw.find("\r\nUser-Agent: Telinha_mon\r\n") != std::string::npos;
    if (clientOnly && (companion || monitor)) continue;
    lines.push_back(line);
  }
  return lines;
}

std::vector<pid_t> runningIds(const std::string& name) {
  reap();
  std::vector<pid_t> ids;
  for (const Child& c : children())
    if (c.name == name) ids.push_back(c.pid);
  return ids;
}

bool running(const std::string& name) { return !runningIds(name).empty(); }

void stop(Machine& m) {
  reap();
  // Every portal, this machine's or another's, is stopped by live::stop.
  auto portal = [](const Child& c) { return c.name == "vitrine-demo"; };
  for (const Child& c : children()) {
    if (!portal(c)) ::kill(c.pid, SIGTERM);
  }
  const auto until = Clock::now() + std::chrono::seconds(3);
  for (;;) {
    reap();
    bool left = false;
    for (const Child& c : children()) left = left || !portal(c);
    if (!left || Clock::now() > until) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  for (const Child& c : children())
    if (!portal(c)) ::kill(c.pid, SIGKILL);
  reap();
  if (m.started) live::stop(m.portal);
  m.started = false;
}

std::string missingInOrder(const std::string& seen, const std::vector<std::string>& lines) {
  size_t at = 0;
  for (const std::string& l : lines) {
    const size_t found = seen.find(l + "\n", at);
    if (found == std::string::npos) return "missing, in order: " + l + "\n" + seen;
    at = found + l.size();
  }
  return "";
}

std::vector<std::vector<std::string>> playerStarts(const Machine& m) {
  std::vector<std::vector<std::string>> starts(1);
  std::istringstream in(live::readFile(m.mpvLog));
  for (std::string line; std::getline(in, line);) {
    if (!line.empty()) starts.back().push_back(line);
    else if (!starts.back().empty()) starts.emplace_back();
  }
  if (starts.back().empty()) starts.pop_back();
  return starts;
}

std::string clientFile(const Machine& m, const std::string& relative) {
  return live::readFile(m.client + "/" + relative);
}

}  // namespace telinha_run
