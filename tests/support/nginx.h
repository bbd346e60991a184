// nginx, a real web server, run by a test on loopback with its own
// configuration in a scratch folder: the files under root(), served plain,
// and over TLS with the test CA's certificate when one is given. Lines added
// to the server block may name the ports as PORT and TLSPORT, and the
// folder of the files as ROOT.
#pragma once
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "support/loopback.h"
#include "support/scratch.h"
#include "support/test_ca.h"

extern char** environ;

namespace nettest {

class Nginx {
 public:
  // A port taken by someone else between choosing and binding it gets a
  // second and a third try.
  explicit Nginx(const std::string& serverLines, const TestCa* ca = nullptr) {
    for (int attempt = 0; attempt < 3 && !ready_; ++attempt) start(serverLines, ca);
  }
  ~Nginx() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGTERM);
    ::waitpid(pid_, nullptr, 0);
  }
  Nginx(const Nginx&) = delete;
  Nginx& operator=(const Nginx&) = delete;

  bool ok() const { return ready_; }
  uint16_t port() const { return port_; }
  uint16_t tlsPort() const { return tlsPort_; }
  std::string root() const { return dir_ / "www"; }

 private:
  void start(const std::string& serverLines, const TestCa* ca) {
    port_ = freePort();
    tlsPort_ = ca ? freePort() : 0;
    const std::string p = dir_.path();
    std::filesystem::create_directories(p + "/www");
    std::filesystem::create_directories(p + "/tmp");
    std::string tls;
    if (ca) {
      tls = "    listen 127.0.0.1:" + std::to_string(tlsPort_) + " ssl;\n    ssl_certificate " + ca->file("srv.pem") +
            ";\n    ssl_certificate_key " + ca->file("srv.key") + ";\n";
    }
    std::string lines = serverLines;
    const std::pair<std::string, std::string> names[] = {
        {"TLSPORT", std::to_string(tlsPort_)}, {"PORT", std::to_string(port_)}, {"ROOT", p + "/www"}};
    for (const auto& [name, value] : names) {
      for (size_t at = 0; (at = lines.find(name, at)) != std::string::npos;) lines.replace(at, name.size(), value);
    }
    std::ofstream(p + "/nginx.conf")
        << "daemon off;\nmaster_process off;\nworker_processes 1;\npid " << p << "/nginx.pid;\n"
        << "error_log " << p << "/error.log;\nevents { worker_connections 64; }\nhttp {\n  access_log off;\n"
        << "  client_body_temp_path " << p << "/tmp/body;\n  proxy_temp_path " << p << "/tmp/proxy;\n"
        << "  fastcgi_temp_path " << p << "/tmp/fastcgi;\n  uwsgi_temp_path " << p << "/tmp/uwsgi;\n"
        << "  scgi_temp_path " << p << "/tmp/scgi;\n"
        << "  types { audio/mpeg mp3; text/html html; }\n  default_type application/octet-stream;\n"
        << "  server {\n    listen 127.0.0.1:" << port_ << ";\n" << tls << "    root " << p << "/www;\n"
        << "    absolute_redirect off;\n" << lines << "  }\n}\n";
    const std::string program = std::filesystem::exists("/usr/sbin/nginx") ? "/usr/sbin/nginx" : "nginx";
    const std::string conf = p + "/nginx.conf", log = p + "/error.log";
    const char* argv[] = {"nginx", "-p", p.c_str(), "-c", conf.c_str(), "-e", log.c_str(), nullptr};
    if (::posix_spawnp(&pid_, program.c_str(), nullptr, nullptr, const_cast<char**>(argv), environ) != 0) pid_ = -1;
    // Ready once it answers on its port; a server that ended is not.
    for (int i = 0; pid_ > 0 && i < 100 && !ready_; ++i) {
      int status;
      if (::waitpid(pid_, &status, WNOHANG) == pid_) {
        pid_ = -1;
        break;
      }
      const int fd = connectTo(port_);
      ready_ = fd >= 0;
      if (ready_) ::close(fd);
      else std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
  }

  testsupport::ScratchDir dir_;
  uint16_t port_ = 0, tlsPort_ = 0;
  pid_t pid_ = -1;
  bool ready_ = false;
};

}  // namespace nettest
