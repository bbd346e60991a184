// Loopback sockets for the network tests: a listener on a free port of
// 127.0.0.1, and a client connection to such a port.
#pragma once
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdint>

namespace nettest {

struct Listener {
  int fd = -1;
  uint16_t port = 0;
};

// Listens on a port the system picks.
inline Listener listenOnLoopback(int backlog = 1) {
  Listener l;
  l.fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t n = sizeof a;
  ::bind(l.fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
  ::listen(l.fd, backlog);
  ::getsockname(l.fd, reinterpret_cast<sockaddr*>(&a), &n);
  l.port = ntohs(a.sin_port);
  return l;
}

inline int connectTo(uint16_t port) {
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  a.sin_port = htons(port);
  return ::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 ? fd : (::close(fd), -1);
}

// A port nobody listens on now, for a server started afterwards.
inline uint16_t freePort() {
  const Listener l = listenOnLoopback();
  ::close(l.fd);
  return l.port;
}

}  // namespace nettest
