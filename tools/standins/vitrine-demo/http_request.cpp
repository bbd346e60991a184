#include "http_request.h"

#include <algorithm>
#include <cctype>

namespace vitrine {
namespace {

bool sameName(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

bool isTokenChar(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) ||
         std::string_view("!#$%&'*+-.^_`|~").find(c) != std::string_view::npos;
}

bool isToken(std::string_view s) { return !s.empty() && std::all_of(s.begin(), s.end(), isTokenChar); }

std::string_view trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

// Splits the head into lines, each without its CR LF or LF.
std::vector<std::string_view> headLines(std::string_view head) {
  std::vector<std::string_view> lines;
  while (!head.empty()) {
    const size_t lf = head.find('\n');
    std::string_view line = head.substr(0, lf);
    if (line.ends_with('\r')) line.remove_suffix(1);
    lines.push_back(line);
    head.remove_prefix(lf == std::string_view::npos ? head.size() : lf + 1);
  }
  return lines;
}

// Where the empty line that ends the head ends, or npos.
size_t headEnd(std::string_view s) {
  size_t start = 0;
  while (start < s.size()) {
    const size_t lf = s.find('\n', start);
    if (lf == std::string_view::npos) return std::string_view::npos;
    const std::string_view line = s.substr(start, lf - start);
    if (line.empty() || line == "\r") return lf + 1;
    start = lf + 1;
  }
  return std::string_view::npos;
}

bool parseRequestLine(std::string_view line, Request& r) {
  const size_t a = line.find(' ');
  const size_t b = a == std::string_view::npos ? a : line.find(' ', a + 1);
  if (b == std::string_view::npos || line.find(' ', b + 1) != std::string_view::npos) return false;
  const std::string_view method = line.substr(0, a), target = line.substr(a + 1, b - a - 1),
                         version = line.substr(b + 1);
  if (!isToken(method) || target.empty() || target[0] != '/') return false;
  if (version != "HTTP/1.1" && version != "HTTP/1.0") return false;
  for (char c : target)
    if (static_cast<unsigned char>(c) <= 0x20 || c == 0x7F) return false;
  r.method = method;
  r.target = target;
  r.path = target.substr(0, target.find('?'));
  return true;
}

}  // namespace

ParseResult parseRequest(std::string_view received, const RequestLimits& limits) {
  // Blank lines before a request line are skipped, as HTTP allows.
  size_t skip = 0;
  while (skip < received.size() && (received[skip] == '\r' || received[skip] == '\n')) ++skip;
  if (skip > limits.maxHead) return {ParseStatus::headTooLarge, {}};
  const std::string_view rest = received.substr(skip);
  const size_t end = headEnd(rest);
  if (end == std::string_view::npos) {
    return {rest.size() > limits.maxHead ? ParseStatus::headTooLarge : ParseStatus::incomplete, {}};
  }
  if (end > limits.maxHead) return {ParseStatus::headTooLarge, {}};

  ParseResult result;
  Request& r = result.request;
  const std::vector<std::string_view> lines = headLines(rest.substr(0, end));
  if (!parseRequestLine(lines[0], r)) return {ParseStatus::malformed, {}};
  std::optional<size_t> length;
  for (size_t i = 1; i + 1 < lines.size(); ++i) {
    const size_t colon = lines[i].find(':');
    if (colon == std::string_view::npos || !isToken(lines[i].substr(0, colon)))
      return {ParseStatus::malformed, {}};
    const std::string_view name = lines[i].substr(0, colon), value = trim(lines[i].substr(colon + 1));
    if (sameName(name, "Transfer-Encoding")) return {ParseStatus::malformed, {}};
    if (sameName(name, "Content-Length")) {
      if (value.empty() || value.size() > 12 ||
          !std::all_of(value.begin(), value.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return {ParseStatus::malformed, {}};
      const size_t n = std::stoull(std::string(value));
      if (length && *length != n) return {ParseStatus::malformed, {}};
      length = n;
    }
    r.headers.emplace_back(name, value);
  }
  const size_t bodySize = length.value_or(0);
  if (bodySize > limits.maxBody) return {ParseStatus::bodyTooLarge, {}};
  if (rest.size() - end < bodySize) return {ParseStatus::incomplete, {}};
  r.body = rest.substr(end, bodySize);
  r.size = skip + end + bodySize;
  result.status = ParseStatus::complete;
  return result;
}

std::optional<std::string> headerValue(const Request& request, std::string_view name) {
  for (const auto& [n, v] : request.headers)
    if (sameName(n, name)) return v;
  return std::nullopt;
}

}  // namespace vitrine
