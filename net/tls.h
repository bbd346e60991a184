// TLS on a connection, over OpenSSL. Every connection has its own session,
// so a second TLS connection never changes an earlier one. Servers are
// verified (chain and host name) against the system's store, plus an
// optional CA file; verification is off only when asked for explicitly.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "net/connection.h"

namespace net {

struct TlsOptions {
  std::string caFile;  // PEM, added to the system's store; empty: none
  bool verify = true;
};

// Connects and runs the handshake, the server name sent as `host` is
// written; -1 when either fails or the idle step gives it up (the socket is
// then closed). A handshake left unanswered fails after 30 seconds.
int openTlsConnection(std::string_view host, uint16_t port, const TlsOptions& options, Idle idle);

// Reports a TLS failure other than the end of the connection, by its
// OpenSSL error code; set by whoever shows such things.
void setTlsErrorReport(void (*report)(int code));

// The gates of connection.cpp: whether fd runs TLS, its reads and writes
// (the byte count, 0 or less at the end or on failure), bytes waiting in
// the session (already taken from the socket), and the end of the session
// before the socket closes.
bool isTls(int fd);
long tlsRead(int fd, char* area, size_t size);
long tlsWrite(int fd, const char* bytes, size_t length);
bool tlsPending(int fd);
void endTls(int fd);

}  // namespace net
