#include "net/http_request.h"

namespace net {
namespace {

void line(std::string& to, std::string_view a, std::string_view b = {}) {
  to.append(a).append(b).append("\r\n");
}

}  // namespace

std::string downloadRequest(const Url& u, std::string_view agent, std::string_view cookie, int64_t resumeFrom) {
  std::string r;
  line(r, "GET " + u.path + " HTTP/1.1");
  line(r, "User-Agent: ", agent);
  line(r, "Accept: */*");
  line(r, "Accept-Encoding: identity");
  line(r, "Host: ", u.host);
  line(r, "Connection: Close");
  if (resumeFrom >= 0) line(r, "Range: bytes=" + std::to_string(resumeFrom) + "-");
  if (!cookie.empty()) line(r, "Cookie: ", cookie);
  line(r, "");
  return r;
}

std::string pageRequest(const Url& u, std::string_view agent, std::string_view cookie) {
  std::string r;
  line(r, "GET " + u.path + " HTTP/1.1");
  line(r, "Host: ", u.host);
  line(r, "User-Agent: ", agent);
  line(r, "Connection: close");
  line(r, "Accept-Language: pt-br");
  line(r, "UA-CPU: x86");
  if (!cookie.empty()) line(r, "Cookie: ", cookie);
  line(r, "");
  return r;
}

}  // namespace net
