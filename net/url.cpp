#include "net/url.h"

#include <charconv>

namespace net {
namespace {

constexpr size_t kMaxUrlRest = 999;

bool startsNoCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i) {
    if ((text[i] & ~0x20) != (prefix[i] & ~0x20)) return false;
  }
  return true;
}

}  // namespace

Url splitUrl(std::string_view url) {
  Url u;
  u.secure = startsNoCase(url, "https");
  const size_t scheme = url.find("://");
  std::string_view rest = scheme == std::string_view::npos ? url : url.substr(scheme + 3);
  rest = rest.substr(0, kMaxUrlRest);
  const size_t slash = rest.find('/');
  std::string_view authority = rest.substr(0, slash);
  u.path = slash == std::string_view::npos ? "/" : std::string(rest.substr(slash));
  const size_t colon = authority.find(':');
  std::string_view portText;
  if (colon != std::string_view::npos) {
    portText = authority.substr(colon + 1);
    authority = authority.substr(0, colon);
  }
  u.host = std::string(authority);
  if (portText.empty()) {
    u.port = u.secure ? 443 : 80;
  } else {
    unsigned value = 0;
    const auto [end, error] = std::from_chars(portText.data(), portText.data() + portText.size(), value);
    u.portValid = error == std::errc{} && end == portText.data() + portText.size() && value > 0 && value < 65536;
    u.port = static_cast<uint16_t>(value);
  }
  return u;
}

std::string resolveLocation(std::string_view base, std::string_view target) {
  if (target.find("://") != std::string_view::npos) return std::string(target);
  const size_t scheme = base.find("://");
  const size_t hostStart = scheme == std::string_view::npos ? 0 : scheme + 3;
  const size_t pathStart = base.find('/', hostStart);
  const std::string_view origin = base.substr(0, pathStart);
  if (target.starts_with('/')) return std::string(origin) + std::string(target);
  std::string_view dir = pathStart == std::string_view::npos ? "/" : base.substr(pathStart);
  dir = dir.substr(0, dir.find_first_of("?#"));
  dir = dir.substr(0, dir.rfind('/') + 1);
  return std::string(origin) + std::string(dir) + std::string(target);
}

std::string percentEncode(std::string_view text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(text.size());
  for (const char ch : text) {
    const unsigned char c = static_cast<unsigned char>(ch);
    const bool kept = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
                      c == '.' || c == '_' || c == '~';
    if (kept) {
      out += ch;
    } else {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 15];
    }
  }
  return out;
}

}  // namespace net
