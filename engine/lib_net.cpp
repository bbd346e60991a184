// INTERNET, CONECTA, ATIVASSL, SERVE, OBSERVA and IP, and the socket side of
// the channel commands (ESCREVE, LE and FECHA on a connection).
#include <array>
#include <string>

#include "console/keyboard.h"
#include "console/screen.h"
#include "engine/api.h"
#include "engine/channels.h"
#include "engine/libraries.h"
#include "engine/net_connect.h"
#include "engine/number.h"
#include "engine/readers.h"
#include "engine/text.h"
#include "engine/values.h"
#include "engine/variables.h"
#include "net/receive_buffer.h"
#include "net/tls.h"
#include "platform/base/paths.h"
#include "settings/settings.h"

namespace engine {
namespace {

constexpr std::string_view kConnectError = "Erro de conexao";
constexpr std::string_view kPortError = "Erro na porta TCP/IP";
constexpr uint8_t kEsc = 27;

// What the network commands keep in the interpreter.
struct NetState {
  std::array<net::ReceiveBuffer, kChannels> buffers;
  // Wait of every readability test; none until a client connect succeeds.
  int timeoutMs = 0;
  // The last connect target, for ATIVASSL.
  std::string host;
  uint16_t port = 0;
};

NetState& netState(Interp& in) { return libraryState<NetState>(in); }

net::ReceiveBuffer& buffer(Interp& in, int n) { return netState(in).buffers[static_cast<size_t>(n)]; }

int32_t sendOn(Interp& in, int n, std::string_view bytes) {
  return !bytes.empty() && net::sendAll(channel(in, n).socketHandle, bytes) ? 1 : 0;
}

bool readLineOn(Interp& in, int n, std::string& line) {
  return net::receiveLine(buffer(in, n), line, kMaxValueSize, keepWaiting) ==
         net::LineResult::Line;
}

void closeOn(Interp& in, int n) {
  Channel& c = channel(in, n);
  net::closeConnection(c.socketHandle);
  c.socketHandle = -1;
  buffer(in, n) = net::ReceiveBuffer{};
}

constexpr SocketSide kSocketSide{sendOn, readLineOn, closeOn};

// Makes channel n the connection, releasing what it held before.
void attach(Interp& in, int n, int fd) {
  closeChannel(in, n);
  setSocketSide(in, &kSocketSide);
  Channel& c = channel(in, n);
  c.file = nullptr;
  c.appending = false;
  c.socketHandle = fd;
  c.socket = true;
  c.open = true;
  buffer(in, n) = net::ReceiveBuffer{};
  buffer(in, n).fd = fd;
}

// [TLS] CERTIFICADOS adds a CA file; only VERIFICAR=NAO turns checks off.
net::TlsOptions tlsOptions() {
  net::TlsOptions o;
  const std::string ca(trim(settings::readSetting("TLS", "CERTIFICADOS")));
  if (!ca.empty()) o.caFile = platform::hostPath(ca);
  o.verify = upper(trim(settings::readSetting("TLS", "VERIFICAR"))) != "NAO";
  return o;
}

void reportTlsError(int code) { console::streamWrite("Erro SSL: " + decimal(code) + "\r\n"); }

void setTimeoutFromSettings(Interp& in) {
  int32_t us;
  if (!numberValue(trim(settings::readSetting("ESCUTA", "TIMEOUT_REDE")), us) || us < 0) us = 20000;
  netState(in).timeoutMs = (us + 999) / 1000;
}

bool readPort(const std::string& text, uint16_t& port) {
  int32_t value;
  if (!numberValue(trim(text), value)) return false;
  port = static_cast<uint16_t>(value);  // cut to 16 bits, as ports are
  return true;
}

bool isSocketChannel(Interp& in, int n) { return channel(in, n).open && channel(in, n).socket && channel(in, n).socketHandle >= 0; }

Status internet(Interp&, std::string_view text) {
  // POSIX sockets need no start or stop; the sub-keyword is still checked.
  const std::string word = upper(text);
  return word == "INICIA" || word == "TERMINA";
}

Status conecta(Interp& in, std::string_view text) {
  const bool tls = startsUpper(text, "SSL ");
  if (tls) text = trim(text.substr(4));
  const bool quiet = takeAmpersand(text);
  int n = -1;
  std::string host, portText;
  const bool read = readChannel(text, n) && !text.empty() && readOperand(in, text, host) && readOperand(in, text, portText);
  int fd = -1;
  if (read) {
    netState(in).host = host;
    uint16_t port;
    if (!readPort(portText, port)) {
      if (!quiet) return failSaying(kPortError);
      setChannelStatus(in, 2);
      return true;
    }
    netState(in).port = port;
    fd = connectTo(host, port, tls);
  }
  if (fd < 0) {
    if (!quiet) return failSaying(kConnectError);
    setChannelStatus(in, 1);
    return true;
  }
  setTimeoutFromSettings(in);
  attach(in, n, fd);
  if (quiet) setChannelStatus(in, 0);
  return true;
}

// The channel becomes a TLS connection to the last CONECTA's target; when
// that fails the channel holds no connection (writes send nothing, reads
// end at once). The connection it held before is released.
Status ativaSsl(Interp& in, std::string_view text) {
  int n;
  if (!readChannel(text, n)) return false;
  const int fd = connectTo(netState(in).host, netState(in).port, true);
  attach(in, n, fd);
  return true;
}

Status serve(Interp& in, std::string_view text) {
  int n;
  std::string portText;
  if (!readChannel(text, n) || text.empty() || !readOperand(in, text, portText)) return failSaying(kConnectError);
  uint16_t port;
  if (!readPort(portText, port)) return failSaying(kPortError);
  const int fd = net::acceptOne(port, keepWaiting);
  if (fd < 0) return failSaying(kConnectError);
  attach(in, n, fd);
  return true;
}

Status observa(Interp& in, std::string_view text) {
  bool ready = false;
  if (startsUpper(text, "TECLADO ")) {
    text = trim(text.substr(8));
    ready = console::keyPressed();
  } else {
    int n;
    if (!readChannel(text, n)) return false;
    if (isSocketChannel(in, n)) {
      ready = net::hasData(buffer(in, n), netState(in).timeoutMs);
      console::keyPressed();  // serves the window's pending events
    }
  }
  int target;
  if (text.empty() || !readTarget(in, text, target) || !text.empty()) return false;
  return setVariable(in, target, ready ? "1" : "0");
}

Status ip(Interp& in, std::string_view text) {
  const bool local = startsUpper(text, "LOCAL ");
  if (!local && !startsUpper(text, "REMOTO ")) return false;
  text = trim(text.substr(local ? 6 : 7));
  int n, target;
  if (!readChannel(text, n) || !isSocketChannel(in, n) || !readTarget(in, text, target)) return false;
  const int fd = channel(in, n).socketHandle;
  return setVariable(in, target, local ? net::localAddress(fd) : net::remoteAddress(fd));
}

constexpr Command kNetCommands[] = {
    {"INTERNET", internet}, {"CONECTA", conecta}, {"ATIVASSL", ativaSsl}, {"SERVE", serve}, {"OBSERVA", observa}, {"IP", ip},
};

}  // namespace

// Esc is recognised when it is the only key waiting, so that keys typed
// ahead stay queued in their order.
bool keepWaiting() {
  if (!console::keyPressed() || console::queuedCount() != 1) return true;
  const uint8_t code = console::readKey();
  if (code == kEsc) return false;
  console::pushKey(code);
  return true;
}

int connectTo(std::string_view host, uint16_t port, bool tls) {
  if (!tls) return net::openConnection(host, port, keepWaiting);
  net::setTlsErrorReport(reportTlsError);
  return net::openTlsConnection(host, port, tlsOptions(), keepWaiting);
}

Library netLibrary() { return kNetCommands; }

}  // namespace engine
