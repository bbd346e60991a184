#include "portal.h"

#include <nlohmann/json.hpp>

#include "catalogue_answers.h"
#include "file_answers.h"

namespace vitrine {
namespace {

Response json(int status, std::string body) { return {status, "application/json; charset=utf-8", {}, std::move(body)}; }

Response error(int status, std::string_view message) { return json(status, errorBody(message)); }

Response methodNotAllowed(const char* allowed) {
  Response r = error(405, "Método não permitido.");
  r.headers.emplace_back("Allow", allowed);
  return r;
}

Response sessionAnswer(Portal& p, std::string_view message) {
  const int online = p.catalogue.othersOnline + p.sessions.load();
  return json(200, nlohmann::ordered_json{{"mensagem", message}, {"usuarios_online", online}}.dump() + "\n");
}

Response api(Portal& p, const Request& r) {
  if (r.path == "/conectar") {
    if (r.method != "POST") return methodNotAllowed("POST");
    ++p.sessions;
    return sessionAnswer(p, "Conexão registrada.");
  }
  if (r.path == "/desconectar") {
    if (r.method != "DELETE") return methodNotAllowed("DELETE");
    // Ends one session; more ends than starts leave the count at zero.
    int n = p.sessions.load();
    while (n > 0 && !p.sessions.compare_exchange_weak(n, n - 1)) {
    }
    return sessionAnswer(p, "Desconexão registrada.");
  }
  return error(404, "Recurso não encontrado.");
}

Response notes(Portal& p, const Request& r) {
  if (r.path != "/notificacoes") return error(404, "Recurso não encontrado.");
  if (r.method != "GET") return methodNotAllowed("GET");
  return json(200, notificationsBody(p.catalogue));
}

Response web(Portal& p, const Request& r) {
  if (r.method != "GET") return methodNotAllowed("GET");
  if (r.path == "/contador.json")
    return json(200, counterBody(p.catalogue.othersOnline + p.sessions.load()));
  if (auto answer = answerCatalogue(p.catalogue, r.path, r.body, p.settings.linkBase))
    return json(answer->status, std::move(answer->body));
  if (const auto kind = mediaKindOf(p.catalogue, r.path)) {
    const char* file = *kind == MediaKind::film ? "filme.ogg" : *kind == MediaKind::episode ? "episodio.ogg"
                                                                                            : "capitulo.ogg";
    return fileResponse(p.settings.mediaDir + "/" + file, "audio/ogg", r);
  }
  static const std::string kUpdates = "/gdrive/software/mantenedor/";
  if (r.path.starts_with(kUpdates)) {
    const std::string name = r.path.substr(kUpdates.size());
    if (isPlainFileName(name)) return fileResponse(p.settings.updatesDir + "/" + name, contentTypeFor(name), r);
  }
  return error(404, "Recurso não encontrado.");
}

}  // namespace

const char* serverName(ServerKind kind) {
  switch (kind) {
    case ServerKind::api: return "api";
    case ServerKind::notes: return "notes";
    case ServerKind::web: return "web";
  }
  return "";
}

Response respond(Portal& p, ServerKind kind, const Request& r) {
  // A failure's answer says more on a second line, as real error pages do,
  // so that a client reading only the first line can be told apart.
  for (const auto& [path, status] : p.settings.failures)
    if (r.path == path)
      return json(status, errorBody("Falha simulada pelo servidor de demonstração.") +
                              nlohmann::ordered_json{{"pedido", r.path}}.dump() + "\n");
  // Only the catalogue reads bodies; the others take whatever the client
  // left from an earlier request, but not something that is not JSON.
  const bool file = r.path.starts_with("/midia/") || r.path.starts_with("/gdrive/");
  if (!file && !r.body.empty() && !nlohmann::json::accept(r.body))
    return error(400, "O corpo da requisição não é JSON.");
  switch (kind) {
    case ServerKind::api: return api(p, r);
    case ServerKind::notes: return notes(p, r);
    case ServerKind::web: return web(p, r);
  }
  return error(500, "Servidor desconhecido.");
}

}  // namespace vitrine
