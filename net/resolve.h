// Host names to IPv4 addresses.
#pragma once
#include <netinet/in.h>

#include <string_view>

namespace net {

// Four groups of at most three digits below 256, joined by dots: taken as an
// address as written, without asking the resolver.
bool isNumericAddress(std::string_view host);

// The host's IPv4 address (network order); false when it cannot be found.
bool resolveHost(std::string_view host, in_addr& address);

}  // namespace net
