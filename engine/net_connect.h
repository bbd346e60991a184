// What the network commands share: the idle step of their waits, and
// connecting with the TLS settings of Escuta.ini.
#pragma once
#include <cstdint>
#include <string_view>

namespace engine {

// Keeps the window alive during a network wait; false when the user gives
// the wait up with Esc, which is consumed.
bool keepWaiting();

// A connection to host:port, through verified TLS when asked; -1 on failure.
int connectTo(std::string_view host, uint16_t port, bool tls);

}  // namespace engine
