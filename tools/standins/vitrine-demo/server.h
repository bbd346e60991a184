// The listening sockets and the connections, one request each.
#pragma once

#include <string>
#include <vector>

#include <openssl/ssl.h>

#include "http_request.h"
#include "portal.h"
#include "request_log.h"

namespace vitrine {

struct Listener {
  ServerKind kind = ServerKind::api;
  int fd = -1;
  int port = 0;  // as bound
};

// Listens on 127.0.0.1 and the port, 0 picking a free one. Never on any
// other address: this is a test portal.
bool listenLoopback(ServerKind kind, int port, Listener& out, std::string& error);

struct ServeSettings {
  int latencyMs = 0;
  int timeoutMs = 10000;      // for a request to arrive whole, and for each write
  int maxConnections = 64;    // more at once are closed unanswered
  RequestLimits limits;
};

// Accepts on every listener until stopFd becomes readable, closes the
// listeners, waits a bounded time for the connections still open and tells
// whether they all ended (when not, the portal must outlive them: the caller
// ends the process). Each connection runs on its own thread: it reads one
// request, logs it, answers it after the latency, and closes. Connections to
// the web host speak TLS.
bool serve(const std::vector<Listener>& listeners, Portal& portal, SSL_CTX* webTls, RequestLog& log,
           const ServeSettings& settings, int stopFd);

}  // namespace vitrine
