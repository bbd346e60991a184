#include "midi/alsa_output.h"

#include <alsa/asoundlib.h>
#include <unistd.h>

#include <string_view>

#include "platform/shared_library.h"

namespace midi {
namespace {

constexpr char kSequencerDevice[] = "/dev/snd/seq";
constexpr std::string_view kThrough = "Midi Through";
constexpr unsigned kWritable = SND_SEQ_PORT_CAP_WRITE | SND_SEQ_PORT_CAP_SUBS_WRITE;
constexpr unsigned kMidiPort = SND_SEQ_PORT_TYPE_MIDI_GENERIC | SND_SEQ_PORT_TYPE_SYNTHESIZER;

// Bound once from libasound.so.2, opened on first use.
struct Library {
  decltype(snd_seq_open)* open = nullptr;
  decltype(snd_seq_close)* close = nullptr;
  decltype(snd_seq_set_client_name)* setClientName = nullptr;
  decltype(snd_seq_create_simple_port)* createSimplePort = nullptr;
  decltype(snd_seq_client_id)* clientId = nullptr;
  decltype(snd_seq_client_info_malloc)* clientInfoMalloc = nullptr;
  decltype(snd_seq_client_info_free)* clientInfoFree = nullptr;
  decltype(snd_seq_client_info_set_client)* clientInfoSetClient = nullptr;
  decltype(snd_seq_client_info_get_client)* clientInfoGetClient = nullptr;
  decltype(snd_seq_query_next_client)* queryNextClient = nullptr;
  decltype(snd_seq_port_info_malloc)* portInfoMalloc = nullptr;
  decltype(snd_seq_port_info_free)* portInfoFree = nullptr;
  decltype(snd_seq_port_info_set_client)* portInfoSetClient = nullptr;
  decltype(snd_seq_port_info_set_port)* portInfoSetPort = nullptr;
  decltype(snd_seq_port_info_get_port)* portInfoGetPort = nullptr;
  decltype(snd_seq_port_info_get_capability)* portInfoGetCapability = nullptr;
  decltype(snd_seq_port_info_get_type)* portInfoGetType = nullptr;
  decltype(snd_seq_port_info_get_name)* portInfoGetName = nullptr;
  decltype(snd_seq_query_next_port)* queryNextPort = nullptr;
  decltype(snd_seq_event_output_direct)* outputDirect = nullptr;
};

const Library* library() {
  static Library l;
  static const bool bound =
      platform::loadFunctions(
          "libasound.so.2", "snd_seq_open", l.open, "snd_seq_close", l.close, "snd_seq_set_client_name",
          l.setClientName, "snd_seq_create_simple_port", l.createSimplePort, "snd_seq_client_id", l.clientId,
          "snd_seq_client_info_malloc", l.clientInfoMalloc, "snd_seq_client_info_free", l.clientInfoFree,
          "snd_seq_client_info_set_client", l.clientInfoSetClient, "snd_seq_client_info_get_client",
          l.clientInfoGetClient, "snd_seq_query_next_client", l.queryNextClient, "snd_seq_port_info_malloc",
          l.portInfoMalloc, "snd_seq_port_info_free", l.portInfoFree, "snd_seq_port_info_set_client",
          l.portInfoSetClient, "snd_seq_port_info_set_port", l.portInfoSetPort, "snd_seq_port_info_get_port",
          l.portInfoGetPort, "snd_seq_port_info_get_capability", l.portInfoGetCapability,
          "snd_seq_port_info_get_type", l.portInfoGetType, "snd_seq_port_info_get_name", l.portInfoGetName,
          "snd_seq_query_next_port", l.queryNextPort, "snd_seq_event_output_direct", l.outputDirect)
          .empty();
  return bound ? &l : nullptr;
}

struct Address {
  int client = -1;
  int port = -1;
};

// The first synthesizer port of another client.
Address findSynthPort(const Library& lib, snd_seq_t* seq) {
  Address found;
  snd_seq_client_info_t* client = nullptr;
  snd_seq_port_info_t* port = nullptr;
  if (lib.clientInfoMalloc(&client) < 0) return found;
  if (lib.portInfoMalloc(&port) < 0) {
    lib.clientInfoFree(client);
    return found;
  }
  const int self = lib.clientId(seq);
  lib.clientInfoSetClient(client, -1);
  while (found.client < 0 && lib.queryNextClient(seq, client) >= 0) {
    const int id = lib.clientInfoGetClient(client);
    if (id == self || id == SND_SEQ_CLIENT_SYSTEM) continue;
    lib.portInfoSetClient(port, id);
    lib.portInfoSetPort(port, -1);
    while (lib.queryNextPort(seq, port) >= 0) {
      const char* name = lib.portInfoGetName(port);
      if ((lib.portInfoGetCapability(port) & kWritable) != kWritable || !(lib.portInfoGetType(port) & kMidiPort) ||
          std::string_view(name ? name : "").starts_with(kThrough)) {
        continue;
      }
      found = Address{id, lib.portInfoGetPort(port)};
      break;
    }
  }
  lib.portInfoFree(port);
  lib.clientInfoFree(client);
  return found;
}

class AlsaOutput final : public Output {
 public:
  AlsaOutput(const Library& lib, snd_seq_t* seq, int port, Address to) : lib_(lib), seq_(seq), port_(port), to_(to) {}
  ~AlsaOutput() override { lib_.close(seq_); }

  bool send(Message m) override {
    snd_seq_event_t ev;
    snd_seq_ev_clear(&ev);
    // The event's fields are bytes; ports and clients are below 256.
    snd_seq_ev_set_source(&ev, static_cast<uint8_t>(port_));
    snd_seq_ev_set_dest(&ev, static_cast<uint8_t>(to_.client), static_cast<uint8_t>(to_.port));
    snd_seq_ev_set_direct(&ev);
    const auto channel = static_cast<uint8_t>(m.status & 0x0F);
    switch (m.status & 0xF0) {
      case 0x80: snd_seq_ev_set_noteoff(&ev, channel, m.data1, 0); break;
      case 0x90: snd_seq_ev_set_noteon(&ev, channel, m.data1, m.data2); break;
      case 0xB0: snd_seq_ev_set_controller(&ev, channel, m.data1, m.data2); break;
      case 0xC0: snd_seq_ev_set_pgmchange(&ev, channel, m.data1); break;
      default:
        if (m.status != 0xFF) return true;  // nothing a synthesizer port takes
        ev.type = SND_SEQ_EVENT_RESET;
    }
    return lib_.outputDirect(seq_, &ev) >= 0;
  }

 private:
  const Library& lib_;
  snd_seq_t* seq_;
  int port_;
  Address to_;
};

}  // namespace

std::unique_ptr<Output> openAlsaSynthPort() {
  // Without the device the library would only print its own complaint.
  if (access(kSequencerDevice, W_OK) != 0) return nullptr;
  const Library* lib = library();
  snd_seq_t* seq = nullptr;
  if (!lib || lib->open(&seq, "default", SND_SEQ_OPEN_OUTPUT, 0) < 0) return nullptr;
  lib->setClientName(seq, "Escuta");
  const int port = lib->createSimplePort(seq, "MIDI", SND_SEQ_PORT_CAP_READ | SND_SEQ_PORT_CAP_SUBS_READ,
                                         SND_SEQ_PORT_TYPE_MIDI_GENERIC | SND_SEQ_PORT_TYPE_APPLICATION);
  const Address to = port < 0 ? Address{} : findSynthPort(*lib, seq);
  if (to.client < 0) {
    lib->close(seq);
    return nullptr;
  }
  return std::make_unique<AlsaOutput>(*lib, seq, port, to);
}

}  // namespace midi
