// Answers as the portal writes them: always a Content-Length, never chunked,
// and the connection closed after each one.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace vitrine {

struct Response {
  int status = 200;
  std::string contentType = "application/json; charset=utf-8";
  std::vector<std::pair<std::string, std::string>> headers;  // besides the usual ones
  std::string body;
};

// "HTTP/1.1 200 OK" and its headers, then the body. The status code takes
// characters 10 to 12 of the first line, where the client reads it.
std::string formatResponse(const Response& response);

// The standard reason phrase of a status code.
const char* reasonPhrase(int status);

}  // namespace vitrine
