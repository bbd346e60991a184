// Reading one HTTP/1.x request as the client writes it: line by line, bodies
// on GET requests, and POST or DELETE with no body and no Content-Length.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vitrine {

struct Request {
  std::string method;
  std::string target;  // as sent
  std::string path;    // the target without its query
  std::vector<std::pair<std::string, std::string>> headers;
  std::string body;
  size_t size = 0;     // bytes of request line, headers and body
};

struct RequestLimits {
  size_t maxHead = 16 * 1024;
  size_t maxBody = 64 * 1024;
};

enum class ParseStatus { incomplete, complete, malformed, headTooLarge, bodyTooLarge };

struct ParseResult {
  ParseStatus status = ParseStatus::incomplete;
  Request request;  // when complete
};

// Parses the request at the start of what has been received so far. Lines end
// with CR LF or a lone LF. A request without Content-Length has no body;
// Transfer-Encoding is not accepted. Bytes after the body (the client sends an
// empty line there) are left alone.
ParseResult parseRequest(std::string_view received, const RequestLimits& limits);

// The value of a header, names compared without case.
std::optional<std::string> headerValue(const Request& request, std::string_view name);

}  // namespace vitrine
