// The ten channels #0 to #9, shared by text files and network connections.
// Text files hold Windows-1252 lines ending in CR LF.
#pragma once
#include <array>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace engine {

struct Interp;

constexpr int kChannels = 10;

struct Channel {
  bool open = false;
  bool socket = false;      // last opened as a connection (kept by FECHA)
  int socketHandle = -1;    // the connection of a socket channel
  std::FILE* file = nullptr;
  bool appending = false;   // a file opened by ABRE with "&"
};

// The socket side, supplied by networking: sending (returns the channel
// status), reading a line (false when none came) and closing.
struct SocketSide {
  int32_t (*send)(Interp& in, int channel, std::string_view bytes);
  bool (*readLine)(Interp& in, int channel, std::string& line);
  void (*close)(Interp& in, int channel);
};

struct Channels {
  std::array<Channel, kChannels> channel;
  const SocketSide* socket = nullptr;
};

Channel& channel(Interp& in, int n);

void setSocketSide(Interp& in, const SocketSide* side);

// Opens a file on the channel, closing what it held: for reading, or for
// appending (created when missing).
bool openFile(Interp& in, int n, std::string_view name, bool append);

// Closes the channel's file or connection; false when the close failed.
bool closeChannel(Interp& in, int n);

// Writes to an open channel, with CR LF unless lineEnd is false; the
// channel status of the write (0, or the I/O error).
int32_t writeChannel(Interp& in, int n, std::string_view text, bool lineEnd);

// Reads one line from an open channel; the status: 0 a line, 1 the end (the
// line empty), otherwise the I/O error.
int32_t readChannelLine(Interp& in, int n, std::string& line);

}  // namespace engine
