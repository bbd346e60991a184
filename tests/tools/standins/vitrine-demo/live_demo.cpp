#include "live_demo.h"

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <netinet/in.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sstream>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include <openssl/err.h>
#include <openssl/ssl.h>

namespace live {
namespace {

using Clock = std::chrono::steady_clock;

bool sameName(std::string a, std::string b) {
  for (auto* s : {&a, &b})
    for (char& c : *s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return a == b;
}

SSL* sslOf(const Connection& c) { return static_cast<SSL*>(c.ssl); }

}  // namespace

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream all;
  all << in.rdbuf();
  return all.str();
}

std::optional<Demo> start(const std::vector<std::string>& extra, const std::string& stateDir) {
  Demo d;
  std::string tmpl = (std::filesystem::temp_directory_path() / "vitrine-test-XXXXXX").string();
  if (!::mkdtemp(tmpl.data())) return std::nullopt;
  d.dir = tmpl;
  d.stateDir = stateDir.empty() ? d.dir + "/state" : stateDir;
  d.logFile = d.dir + "/log.jsonl";
  std::vector<std::string> args{VITRINE_DEMO, "--api-port", "0", "--notes-port", "0", "--web-port", "0",
                                "--state-dir", d.stateDir, "--log", d.logFile};
  args.insert(args.end(), extra.begin(), extra.end());
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  const std::string out = d.dir + "/stdout.txt", err = d.dir + "/stderr.txt";
  // A test that dies must not leave its portal behind, holding the test
  // runner's output open: the child goes with its parent.
  std::signal(SIGPIPE, SIG_IGN);
  const pid_t parent = ::getpid();
  d.pid = ::fork();
  if (d.pid < 0) return std::nullopt;
  if (d.pid == 0) {
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (::getppid() != parent) ::_exit(127);
    const int o = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int e = ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ::dup2(o, 1);
    ::dup2(e, 2);
    ::execv(argv[0], argv.data());
    ::_exit(127);
  }

  const auto until = Clock::now() + std::chrono::seconds(10);
  while (Clock::now() < until) {
    std::ifstream ports(d.stateDir + "/ports");
    std::string line;
    while (std::getline(ports, line)) {
      const size_t eq = line.find('=');
      if (eq == std::string::npos) continue;
      const int n = std::atoi(line.c_str() + eq + 1);
      const std::string name = line.substr(0, eq);
      (name == "api" ? d.api : name == "notes" ? d.notes : d.web) = n;
    }
    if (d.api && d.notes && d.web) return d;
    int status = 0;
    if (::waitpid(d.pid, &status, WNOHANG) == d.pid) {
      d.pid = -1;
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  stop(d);
  return std::nullopt;
}

int stop(Demo& d, bool keepFiles) {
  int result = -1;
  if (d.pid > 0) {
    ::kill(d.pid, SIGTERM);
    const auto until = Clock::now() + std::chrono::seconds(5);
    int status = 0;
    while (Clock::now() < until) {
      if (::waitpid(d.pid, &status, WNOHANG) == d.pid) {
        result = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        break;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (result < 0) {
      ::kill(d.pid, SIGKILL);
      ::waitpid(d.pid, &status, 0);
    }
    d.pid = -1;
  }
  if (!keepFiles && !d.dir.empty()) std::filesystem::remove_all(d.dir);
  return result;
}

std::string stopCleanly(Demo& d) {
  if (d.pid <= 0) return {};
  const int status = stop(d, true);
  std::string report = status == 0 ? "" : "exit " + std::to_string(status) + ": " + readFile(d.dir + "/stderr.txt");
  std::filesystem::remove_all(d.dir);
  return report;
}

std::vector<nlohmann::json> log(const Demo& d) {
  std::vector<nlohmann::json> out;
  std::istringstream in(readFile(d.logFile));
  std::string line;
  while (std::getline(in, line)) out.push_back(nlohmann::json::parse(line));
  return out;
}

int port(const Demo& d, Server s) { return s == Server::api ? d.api : s == Server::notes ? d.notes : d.web; }

std::optional<std::string> Answer::header(const std::string& name) const {
  for (const auto& [n, v] : headers)
    if (sameName(n, name)) return v;
  return std::nullopt;
}

std::optional<Connection> connect(int portNumber, const std::optional<Tls>& tls, std::string* error) {
  Connection c;
  c.fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  addr.sin_port = htons(static_cast<uint16_t>(portNumber));
  if (c.fd < 0 || ::connect(c.fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
    if (error) *error = "connect failed";
    close(c);
    return std::nullopt;
  }
  if (!tls) return c;
  SSL_CTX* ctx = SSL_CTX_new(TLS_client_method());
  c.ctx = ctx;
  // As the client: the system's store plus the configured CA file.
  SSL_CTX_set_default_verify_paths(ctx);
  if (!tls->caFile.empty()) SSL_CTX_load_verify_locations(ctx, tls->caFile.c_str(), nullptr);
  SSL_CTX_set_verify(ctx, SSL_VERIFY_PEER, nullptr);
  SSL* ssl = SSL_new(ctx);
  c.ssl = ssl;
  SSL_set_fd(ssl, c.fd);
  SSL_set_tlsext_host_name(ssl, tls->verifyHost.c_str());
  SSL_set1_host(ssl, tls->verifyHost.c_str());
  timeval tv{5, 0};
  ::setsockopt(c.fd, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
  if (SSL_connect(ssl) != 1) {
    if (error) {
      const long v = SSL_get_verify_result(ssl);
      *error = v != X509_V_OK ? X509_verify_cert_error_string(v) : "handshake failed";
    }
    ERR_clear_error();
    close(c);
    return std::nullopt;
  }
  return c;
}

bool send(Connection& c, std::string_view bytes) {
  if (c.ssl) return SSL_write(sslOf(c), bytes.data(), static_cast<int>(bytes.size())) == static_cast<int>(bytes.size());
  while (!bytes.empty()) {
    const ssize_t n = ::send(c.fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    if (n <= 0) return false;
    bytes.remove_prefix(static_cast<size_t>(n));
  }
  return true;
}

std::string receive(Connection& c, int timeoutMs) {
  std::string out;
  const auto until = Clock::now() + std::chrono::milliseconds(timeoutMs);
  char buf[16384];
  for (;;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(until - Clock::now()).count();
    if (left <= 0) break;
    if (!(c.ssl && SSL_pending(sslOf(c)) > 0)) {
      pollfd p{c.fd, POLLIN, 0};
      if (::poll(&p, 1, static_cast<int>(left)) <= 0) break;
    }
    errno = 0;
    const long n = c.ssl ? SSL_read(sslOf(c), buf, sizeof buf) : ::recv(c.fd, buf, sizeof buf, 0);
    if (n <= 0) {
      c.reset = errno == ECONNRESET || errno == EPIPE;  // EPIPE: reset after the close
      break;
    }
    out.append(buf, static_cast<size_t>(n));
  }
  ERR_clear_error();
  return out;
}

void close(Connection& c) {
  SSL_free(sslOf(c));
  SSL_CTX_free(static_cast<SSL_CTX*>(c.ctx));
  if (c.fd >= 0) ::close(c.fd);
  c = {};
}

Answer parse(std::string raw) {
  Answer a;
  a.raw = std::move(raw);
  const size_t end = a.raw.find("\r\n\r\n");
  if (end == std::string::npos) return a;
  std::istringstream head(a.raw.substr(0, end));
  std::string line;
  std::getline(head, line);
  if (!line.empty() && line.back() == '\r') line.pop_back();
  a.statusLine = line;
  while (std::getline(head, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const size_t colon = line.find(':');
    if (colon == std::string::npos) continue;
    a.headers.emplace_back(line.substr(0, colon), line.substr(line.find_first_not_of(' ', colon + 1)));
  }
  a.body = a.raw.substr(end + 4);
  const auto length = a.header("Content-Length");
  a.ok = length && std::to_string(a.body.size()) == *length;
  return a;
}

Answer ask(const Demo& d, Server server, const std::vector<std::string>& lines, int timeoutMs) {
  const std::optional<Tls> tls = server == Server::web ? std::optional<Tls>(Tls{d.stateDir + "/ca.pem"})
                                                       : std::nullopt;
  auto c = connect(port(d, server), tls);
  if (!c) return {};
  for (const std::string& line : lines)
    if (!send(*c, line + "\r\n")) break;
  Answer a = parse(receive(*c, timeoutMs));
  close(*c);
  return a;
}

std::vector<std::string> clientRequest(const std::string& resource, const std::string& body,
                                       const std::string& method) {
  std::vector<std::string> lines{method + resource + " HTTP/1.1", "User-Agent: Telinha", "Host: localhost",
                                 "Accept: */*", "Connection: Close"};
  if (!body.empty()) {
    lines.push_back("Content-Type: Application/json");
    lines.push_back("Content-length: " + std::to_string(body.size()));
    lines.push_back("");
    lines.push_back(body);
  }
  lines.push_back("");
  return lines;
}

}  // namespace live
