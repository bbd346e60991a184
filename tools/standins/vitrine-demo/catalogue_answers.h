// The portal's answers built from the catalogue. Their layout is what the
// client cuts its fields from, byte for byte: compact one-line JSON, keys in a
// fixed order, every text left unescaped except double quotes and line breaks.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "catalogue.h"

namespace vitrine {

struct Answer {
  int status = 200;
  std::string body;  // JSON, ending with a line feed
};

// Answers one of the web host's catalogue resources ("/api/v1/...") for a
// request body; none when the path is not one of them. Media links begin with
// linkBase ("https://host:port").
std::optional<Answer> answerCatalogue(const Catalogue& catalogue, std::string_view path,
                                      std::string_view body, std::string_view linkBase);

// "/contador.json": pretty-printed, so that the count sits on a line of its own.
std::string counterBody(int online);

// "/notificacoes" of the API server.
std::string notificationsBody(const Catalogue& catalogue);

// {"erro":"message"}, for every answer other than 200.
std::string errorBody(std::string_view message);

// Which generated media file serves a link the catalogue hands out; none for
// paths that are no such link.
enum class MediaKind { film, episode, chapter };
std::optional<MediaKind> mediaKindOf(const Catalogue& catalogue, std::string_view path);

}  // namespace vitrine
