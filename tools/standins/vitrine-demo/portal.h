// What the portal answers on each of its three servers.
#pragma once

#include <atomic>
#include <string>
#include <utility>
#include <vector>

#include "catalogue.h"
#include "http_request.h"
#include "http_response.h"

namespace vitrine {

// The API server registers sessions, the notes server gives the
// notifications, the web host (TLS) everything else.
enum class ServerKind { api, notes, web };

const char* serverName(ServerKind kind);

struct PortalSettings {
  std::string linkBase;    // "https://host:port" of the web host, for media links
  std::string mediaDir;    // filme.ogg, episodio.ogg, capitulo.ogg
  std::string updatesDir;  // served below /gdrive/software/mantenedor/
  std::vector<std::pair<std::string, int>> failures;  // path -> status to answer
};

struct Portal {
  const Catalogue& catalogue;
  PortalSettings settings;
  std::atomic<int> sessions{0};  // registered and not yet ended
};

Response respond(Portal& portal, ServerKind kind, const Request& request);

}  // namespace vitrine
