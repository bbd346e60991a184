// The record of every request received, for tests that check exactly what the
// client sent. One JSON object per line:
//   {"server":"web","peer":"127.0.0.1:40212","method":"GET","path":"/api/v1/listarfilme",
//    "status":200,"request":"GET /api/v1/listarfilme HTTP/1.1\r\nUser-Agent: ..."}
// "request" holds the request line, the headers and the body as received;
// bytes that are not UTF-8 show as U+FFFD. Every answered request is logged,
// refused ones (400, 408, 413, 431) with what had arrived.
#pragma once

#include <cstdio>
#include <mutex>
#include <string>
#include <string_view>

namespace vitrine {

struct RequestLog {
  std::mutex mutex;
  std::FILE* file = nullptr;  // none: nothing is logged
};

struct LoggedRequest {
  const char* server;
  std::string peer;
  std::string method;
  std::string path;
  int status;
  std::string_view raw;
};

// Appends one line and flushes it, before the answer leaves, so that a caller
// holding an answer finds its request in the log.
void logRequest(RequestLog& log, const LoggedRequest& entry);

}  // namespace vitrine
