#include "net/resolve.h"

#include <arpa/inet.h>
#include <netdb.h>

#include <string>

namespace net {

bool isNumericAddress(std::string_view host) {
  if (host.empty() || host.size() > 15 || host[0] == '.') return false;
  int dots = 0, digits = 0, group = 0;
  for (size_t i = 0; i < host.size(); ++i) {
    const char c = host[i];
    if (c == '.') {
      if (i + 1 == host.size() || host[i + 1] < '0' || host[i + 1] > '9') return false;
      ++dots;
      digits = group = 0;
    } else if (c >= '0' && c <= '9') {
      group = group * 10 + (c - '0');
      if (++digits > 3 || group > 255) return false;
    } else {
      return false;
    }
  }
  // More than three dots passes this rule; inet_pton then refuses it.
  return dots >= 3;
}

bool resolveHost(std::string_view host, in_addr& address) {
  const std::string name(host);
  if (isNumericAddress(host)) return inet_pton(AF_INET, name.c_str(), &address) == 1;
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  if (name.empty() || getaddrinfo(name.c_str(), nullptr, &hints, &found) != 0 || !found) return false;
  address = reinterpret_cast<const sockaddr_in*>(found->ai_addr)->sin_addr;
  freeaddrinfo(found);
  return true;
}

}  // namespace net
