// A vitrine-demo process started for one test, on loopback ports picked by
// the system, with its own state directory; and a client for it that writes
// requests line by line as the portal's client does.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <nlohmann/json.hpp>
#include <sys/types.h>

namespace live {

struct Demo {
  pid_t pid = -1;
  std::string dir;       // temporary: state/, log.jsonl
  std::string stateDir;
  std::string logFile;
  int api = 0, notes = 0, web = 0;
};

// Starts vitrine-demo with "--api-port 0 --notes-port 0 --web-port 0",
// --state-dir and --log below a new temporary directory, plus extra, and
// waits (at most 10 s) for its ports file. A state directory may be given to
// start again on an earlier one.
std::optional<Demo> start(const std::vector<std::string>& extra = {}, const std::string& stateDir = {});

// SIGTERM, then SIGKILL after 5 s; the exit status, or -1 when it had to be
// killed. The temporary directory is kept when keepFiles is set.
int stop(Demo& demo, bool keepFiles = false);

// Stops a started demo and tells what went wrong: empty when it exited with
// status 0, else the status and what it wrote on its standard error (where a
// sanitizer reports).
std::string stopCleanly(Demo& demo);

// The request log, one JSON object per request.
std::vector<nlohmann::json> log(const Demo& demo);

std::string readFile(const std::string& path);

enum class Server { api, notes, web };

struct Answer {
  bool ok = false;          // a whole answer arrived (Content-Length bytes of body)
  std::string raw;
  std::string statusLine;
  std::vector<std::pair<std::string, std::string>> headers;
  std::string body;
  std::optional<std::string> header(const std::string& name) const;  // without case
};

struct Tls {
  std::string caFile;       // empty: the system's store only
  std::string verifyHost = "localhost";
};

// One connection: for the web host TLS with the demo's CA, verifying the
// host name. Writes each line with CR LF in a write of its own, as the client
// does, then reads until the server closes (at most timeoutMs).
Answer ask(const Demo& demo, Server server, const std::vector<std::string>& lines, int timeoutMs = 5000);

// The lines the client's request routine writes for a resource and an
// optional JSON body.
std::vector<std::string> clientRequest(const std::string& resource, const std::string& body = {},
                                       const std::string& method = "GET ");

// Lower level, for tests of the transport itself.
struct Connection {
  int fd = -1;
  void* ctx = nullptr;  // SSL_CTX
  void* ssl = nullptr;  // SSL
  bool reset = false;   // the peer ended with a reset, not an orderly close
};
std::optional<Connection> connect(int port, const std::optional<Tls>& tls, std::string* error = nullptr);
bool send(Connection& c, std::string_view bytes);
// Reads until the peer closes or the time is up; notes a reset.
std::string receive(Connection& c, int timeoutMs);
void close(Connection& c);
Answer parse(std::string raw);

int port(const Demo& demo, Server server);

}  // namespace live
