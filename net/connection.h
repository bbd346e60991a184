// TCP connections on POSIX sockets, IPv4, carried through TLS for the
// sockets that run it (tls.h). A connection is a socket handle;
// -1 means none. Waits that could last are cut into short slices, and
// between slices the caller's idle step runs: it keeps the window alive and
// returns false when the user gives the wait up.
#pragma once
#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>

namespace net {

using Idle = bool (*)();

// Waits until fd is ready for poll's `events`, running the idle step between
// slices: 1 when ready, 0 when the idle step gave up or `until` passed, -1
// on failure.
int waitIdling(int fd, short events, Idle idle,
               std::chrono::steady_clock::time_point until = std::chrono::steady_clock::time_point::max());

// Connects to host:port; the socket handle or -1, also when the idle step
// gives the wait up.
int openConnection(std::string_view host, uint16_t port, Idle idle);

// Listens on the loopback address only (a script's server is for this
// machine) and waits for one client, which it returns; -1 on failure or
// when the idle step gives up.
int acceptOne(uint16_t port, Idle idle);

void closeConnection(int fd);

// Whether data (or the end) can be read within timeoutMs. A closed or
// invalid handle counts as readable, so that the next read reports the end
// at once.
bool isReadable(int fd, int timeoutMs);

// Sends every byte, waiting for room as needed; true when all went out.
bool sendAll(int fd, std::string_view bytes);

// One read of at most size bytes; what recv returns.
long receiveSome(int fd, char* area, size_t size);

// The dotted IPv4 address of the local or the remote end; empty on failure.
std::string localAddress(int fd);
std::string remoteAddress(int fd);

}  // namespace net
