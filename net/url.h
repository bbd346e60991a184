// URLs as the web commands take them apart, and percent-encoding.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace net {

struct Url {
  bool secure = false;  // "HTTPS" in any case
  std::string host;
  uint16_t port = 80;
  bool portValid = true;
  std::string path = "/";
};

// scheme://host[:port][/path]; a port only counts between the host and the
// path, so a ":" inside the path is left alone.
Url splitUrl(std::string_view url);

// A redirection target: a full URL as it is; one without a scheme resolved
// against the URL it came from (from the root with "/", else beside it).
std::string resolveLocation(std::string_view base, std::string_view target);

// Letters, digits and "-._~" are kept; every other byte becomes "%" and two
// upper-case hex digits.
std::string percentEncode(std::string_view text);

}  // namespace net
