#include "standin.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>

namespace standin {
namespace {

namespace fs = std::filesystem;

// `errors` (when not empty) takes its standard error.
pid_t spawn(const std::string& file, const std::vector<std::string>& args, const std::vector<std::string>& env,
            const std::string& cwd, const std::string& errors = "") {
  std::vector<std::string> argv{file};
  argv.insert(argv.end(), args.begin(), args.end());
  std::vector<std::string> envp = env;
  const pid_t pid = ::fork();
  if (pid == 0) {
    if (::chdir(cwd.c_str()) != 0) ::_exit(126);
    if (!errors.empty()) {
      const int fd = ::open(errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      if (fd < 0 || ::dup2(fd, 2) < 0) ::_exit(126);
    }
    std::vector<char*> a, e;
    for (std::string& s : argv) a.push_back(s.data());
    a.push_back(nullptr);
    for (std::string& s : envp) e.push_back(s.data());
    e.push_back(nullptr);
    ::execve(file.c_str(), a.data(), e.data());
    ::_exit(127);
  }
  return pid;
}

}  // namespace

Programs::~Programs() {
  for (pid_t pid : started_) {
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
  }
}

pid_t Programs::start(const Start& s) {
  const std::string file = dir_ / s.name;
  if (!fs::exists(file)) fs::copy_file(PROCESS_STANDIN, file);
  const pid_t pid = spawn(file, s.args, s.env, s.cwd.empty() ? dir_.path() : s.cwd);
  started_.push_back(pid);
  // Until it has become the copy, it is still a copy of this test.
  const std::string exe = "/proc/" + std::to_string(pid) + "/exe";
  for (int i = 0; i < 200; ++i) {
    std::error_code ignored;
    if (fs::read_symlink(exe, ignored) == file) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return pid;
}

int Programs::run(const std::string& file, const std::vector<std::string>& args, const std::vector<std::string>& env) {
  const pid_t pid = spawn(file, args, env, dir_.path(), dir_ / "errors.txt");
  int raw = 0;
  ::waitpid(pid, &raw, 0);
  return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

bool Programs::running(pid_t pid) {
  if (::waitpid(pid, nullptr, WNOHANG) == 0) return true;
  std::erase(started_, pid);
  return false;
}

}  // namespace standin
