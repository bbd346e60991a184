// A web server of our own on loopback, for the answers a real server would
// not give: each connection in turn gets its canned reply, and what each
// request said is kept.
#pragma once
#include <sys/socket.h>
#include <unistd.h>

#include <poll.h>

#include <atomic>
#include <functional>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "support/loopback.h"

namespace nettest {

struct Reply {
  std::string head;          // sent once the request has come
  int pauseMs = 0;           // then a pause, at most this long
  std::function<bool()> resumeWhen;  // which ends when this holds
  std::string rest;          // then this
  std::string repeat;        // then this again and again, until the client leaves
  int repeatEveryMs = 0;
  size_t repeatLimit = 64u << 20;
};

inline Reply once(std::string bytes) {
  Reply r;
  r.head = std::move(bytes);
  return r;
}

inline Reply withPause(std::string head, int pauseMs, std::string rest) {
  Reply r = once(std::move(head));
  r.pauseMs = pauseMs;
  r.rest = std::move(rest);
  return r;
}

// A pause that ends early when `resumeWhen` holds.
inline Reply withPauseUntil(std::string head, std::function<bool()> resumeWhen, std::string rest) {
  Reply r = withPause(std::move(head), 20000, std::move(rest));
  r.resumeWhen = std::move(resumeWhen);
  return r;
}

inline Reply repeating(std::string head, std::string repeat, int everyMs = 0) {
  Reply r = once(std::move(head));
  r.repeat = std::move(repeat);
  r.repeatEveryMs = everyMs;
  return r;
}

class HttpPeer {
 public:
  explicit HttpPeer(std::vector<Reply> replies) : replies_(std::move(replies)) {
    listener_ = listenOnLoopback(4);
    thread_ = std::thread([this] { serve(); });
  }
  ~HttpPeer() {
    finish();
    ::close(listener_.fd);
  }
  HttpPeer(const HttpPeer&) = delete;
  HttpPeer& operator=(const HttpPeer&) = delete;

  uint16_t port() const { return listener_.port; }

  // The requests up to their empty line, once the replies are over; a reply
  // nobody came for is given up.
  const std::vector<std::string>& requests() {
    finish();
    return requests_;
  }

 private:
  void finish() {
    if (!thread_.joinable()) return;
    stop_ = true;
    ::close(connectTo(listener_.port));
    thread_.join();
  }

  static void setLimit(int fd, int option, int seconds) {
    timeval limit{seconds, 0};
    ::setsockopt(fd, SOL_SOCKET, option, &limit, sizeof limit);
  }

  static bool sendAll(int fd, const std::string& bytes) {
    return bytes.empty() || ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(bytes.size());
  }

  static void sleepMs(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

  // Pauses; false when the client left meanwhile.
  static bool pause(int fd, const Reply& r) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(r.pauseMs);
    while (std::chrono::steady_clock::now() < end && !(r.resumeWhen && r.resumeWhen())) {
      pollfd p{fd, POLLIN, 0};
      char c;
      if (::poll(&p, 1, 20) > 0 && ::recv(fd, &c, 1, MSG_DONTWAIT) <= 0) return false;
    }
    return true;
  }

  void serve() {
    for (const Reply& r : replies_) {
      const int fd = ::accept(listener_.fd, nullptr, nullptr);
      if (fd < 0) return;
      if (stop_) {
        ::close(fd);
        return;
      }
      setLimit(fd, SO_RCVTIMEO, 10);
      setLimit(fd, SO_SNDTIMEO, 10);
      std::string request;
      char block[4096];
      while (request.find("\r\n\r\n") == std::string::npos && request.size() < 65536) {
        const ssize_t got = ::recv(fd, block, sizeof block, 0);
        if (got <= 0) break;
        request.append(block, static_cast<size_t>(got));
      }
      requests_.push_back(request);
      bool open = sendAll(fd, r.head);
      open = open && pause(fd, r);
      open = open && sendAll(fd, r.rest);
      for (size_t sent = 0; open && !r.repeat.empty() && sent < r.repeatLimit; sent += r.repeat.size()) {
        open = sendAll(fd, r.repeat);
        if (r.repeatEveryMs > 0) sleepMs(r.repeatEveryMs);
      }
      ::shutdown(fd, SHUT_WR);
      // Until the client closes too, so that nothing it sent is answered by
      // a reset.
      setLimit(fd, SO_RCVTIMEO, 2);
      while (::recv(fd, block, sizeof block, 0) > 0) {
      }
      ::close(fd);
    }
  }

  std::vector<Reply> replies_;
  Listener listener_;
  std::thread thread_;
  std::atomic<bool> stop_{false};
  std::vector<std::string> requests_;
};

}  // namespace nettest
