#include "catalogue_answers.h"

#include <algorithm>
#include <charconv>
#include <functional>
#include <vector>

#include <nlohmann/json.hpp>

#include "text_fold.h"

namespace vitrine {
namespace {

using Json = nlohmann::ordered_json;

constexpr long kPageSize = 10;
constexpr long kChapterPage = 50;  // the client counts chapters in pages of 50
constexpr long kMaxLimit = 100;

std::string line(const Json& j) { return j.dump() + "\n"; }

Answer notFound(std::string_view message) { return {404, errorBody(message)}; }

std::optional<long> digits(std::string_view s) {
  long n = 0;
  if (s.empty() || s.size() > 9) return std::nullopt;
  const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), n);
  if (ec != std::errc() || end != s.data() + s.size() || s[0] == '-') return std::nullopt;
  return n;
}

// A number field of a request body: absent, or its value, -1 standing for a
// value that names nothing (text, fraction, negative).
std::optional<long> numberField(const Json& body, const char* key) {
  if (!body.is_object() || !body.contains(key)) return std::nullopt;
  const Json& v = body[key];
  if (v.is_number_integer() && v.get<long long>() >= 0 && v.get<long long>() <= 999999999)
    return static_cast<long>(v.get<long long>());
  if (v.is_string()) return digits(v.get<std::string>()).value_or(-1);
  return -1;
}

std::optional<std::string> textField(const Json& body, const char* key) {
  if (!body.is_object() || !body.contains(key)) return std::nullopt;
  const Json& v = body[key];
  return v.is_string() ? v.get<std::string>() : v.dump();
}

struct Paging {
  long page = 1;
  long limit = kPageSize;
  bool descending = false;
};

Paging paging(const Json& body) {
  Paging p;
  p.page = numberField(body, "pagina").value_or(1);
  const long limit = numberField(body, "limit").value_or(kPageSize);
  if (limit >= 1 && limit <= kMaxLimit) p.limit = limit;
  p.descending = textField(body, "ordem") == "desc";
  return p;
}

// The items of one page, or none past the last page.
template <class T>
std::optional<std::vector<const T*>> pageOf(std::vector<const T*> items, long page, long size) {
  if (page < 1 || (page - 1) * size >= static_cast<long>(items.size())) return std::nullopt;
  const auto first = items.begin() + (page - 1) * size;
  const auto last = items.begin() + std::min<long>(page * size, static_cast<long>(items.size()));
  return std::vector<const T*>(first, last);
}

// Alphabetical, accents and case aside; the id breaks ties.
template <class T>
void sortByName(std::vector<const T*>& items, const std::function<const TitleInfo&(const T&)>& info,
                bool descending) {
  std::stable_sort(items.begin(), items.end(), [&](const T* a, const T* b) {
    const auto ka = foldForSearch(info(*a).name), kb = foldForSearch(info(*b).name);
    return ka != kb ? ka < kb : info(*a).id < info(*b).id;
  });
  if (descending) std::reverse(items.begin(), items.end());
}

std::string genreName(const std::vector<Genre>& genres, long id) {
  for (const Genre& g : genres)
    if (g.id == id) return g.name;
  return {};
}

std::string mediaLink(std::string_view base, const std::string& path) {
  return std::string(base) + "/midia/" + path + ".ogg";
}

long episodeId(const Season& s, size_t index) { return s.id * 100 + static_cast<long>(index) + 1; }

Json filmJson(const Catalogue& c, const Film& f, std::string_view base) {
  return {{"id_filme", f.id},
          {"nome_filme", f.name},
          {"genero", {{"nome_genero", genreName(c.filmGenres, f.genre)}, {"id_genero", f.genre}}},
          {"ano_lancamento", f.year},
          {"classificacao_indicativa", f.rating},
          {"usuario", {{"nome_usuario", f.poster}}},
          {"data_postagem", f.posted},
          {"idioma_original", f.language},
          {"sinopse", f.synopsis},
          {"link_filme", mediaLink(base, "filmes/" + std::to_string(f.id))}};
}

// Series answers name their poster under "usuarios", films under "usuario":
// the client looks for each with its own skip.
Json seriesJson(const Catalogue& c, const Series& s) {
  const TitleInfo& t = s.info;
  return {{"id_serie", t.id},
          {"nome_serie", t.name},
          {"genero", {{"nome_genero", genreName(c.seriesGenres, t.genre)}, {"id_genero", t.genre}}},
          {"ano_lancamento", t.year},
          {"classificacao_indicativa", t.rating},
          {"usuarios", {{"nome_usuario", t.poster}}},
          {"data_postagem", t.posted},
          {"idioma_original", t.language},
          {"quantidade_temporada", s.seasons.size()},
          {"sinopse", t.synopsis},
          {"audiodescricao", s.describer}};
}

Json soapJson(const Soap& s) {
  return {{"id_novela", s.id},
          {"nome_novela", s.name},
          {"ano_lancamento", s.year},
          {"quantidade_capitulo", s.chapters},
          {"fonte_novela", s.source},
          {"sinopse_novela", s.synopsis},
          {"idioma_original", s.language}};
}

Answer genreList(const std::vector<Genre>& genres) {
  Json out = Json::array();
  for (const Genre& g : genres) out.push_back({{"id_genero", g.id}, {"nome_genero", g.name}});
  return {200, line(out)};
}

bool matches(const std::string& name, const std::string& foldedTerm) {
  return foldForSearch(name).find(foldedTerm) != std::string::npos;
}

// Films and series share their list, search and details requests; only the
// keys and the builders differ.
template <class T>
struct TitleKind {
  const std::vector<T>& items;
  const char* idKey;
  const char* nameKey;
  std::function<const TitleInfo&(const T&)> info;
  std::function<Json(const T&)> toJson;
  const char* notFound;    // details of an unknown id
  const char* noResult;    // a search that finds nothing
};

template <class T>
Answer titles(const TitleKind<T>& kind, const Json& body) {
  std::vector<const T*> chosen;
  if (const auto id = numberField(body, kind.idKey)) {
    for (const T& t : kind.items)
      if (kind.info(t).id == *id) chosen.push_back(&t);
    if (chosen.empty()) return notFound(kind.notFound);
    return {200, line(Json::array({kind.toJson(*chosen.front())}))};
  }
  const Paging p = paging(body);
  const auto term = textField(body, kind.nameKey);
  const auto genre = numberField(body, "id_genero");
  for (const T& t : kind.items) {
    if (term ? matches(kind.info(t).name, foldForSearch(*term))
             : !genre || kind.info(t).genre == *genre)
      chosen.push_back(&t);
  }
  if (chosen.empty()) return notFound(term ? kind.noResult : "Nenhum título encontrado.");
  sortByName(chosen, kind.info, p.descending);
  const auto page = pageOf(chosen, p.page, p.limit);
  if (!page) return notFound("Página não encontrada.");
  Json out = Json::array();
  for (const T* t : *page) out.push_back(kind.toJson(*t));
  return {200, line(out)};
}

const Series* seriesById(const Catalogue& c, std::optional<long> id) {
  for (const Series& s : c.series)
    if (id && s.info.id == *id) return &s;
  return nullptr;
}

const Soap* soapById(const Catalogue& c, std::optional<long> id) {
  for (const Soap& s : c.soaps)
    if (id && s.id == *id) return &s;
  return nullptr;
}

Answer seasons(const Catalogue& c, const Json& body) {
  const Series* s = seriesById(c, numberField(body, "id_serie"));
  if (!s) return notFound("Série não encontrada.");
  Json out = Json::array();
  for (size_t i = 0; i < s->seasons.size(); ++i) {
    out.push_back({{"id_temporada", s->seasons[i].id},
                   {"numero_temporada", i + 1},
                   {"id_serie", s->info.id},
                   {"quantidade_episodio", s->seasons[i].episodes.size()}});
  }
  return {200, line(out)};
}

Answer episodes(const Catalogue& c, const Json& body, std::string_view base) {
  const auto id = numberField(body, "id_temporada");
  for (const Series& s : c.series) {
    for (const Season& season : s.seasons) {
      if (!id || season.id != *id) continue;
      Json out = Json::array();
      for (size_t i = 0; i < season.episodes.size(); ++i) {
        const long eid = episodeId(season, i);
        out.push_back({{"id_episodio", eid},
                       {"numero_episodio", i + 1},
                       {"titulo", "Episódio " + std::to_string(i + 1) + ": " + season.episodes[i]},
                       {"link_episodio", mediaLink(base, "episodios/" + std::to_string(eid))}});
      }
      return {200, line(out)};
    }
  }
  return notFound("Temporada não encontrada.");
}

// The soap-opera list carries no page: the portal sends them all, and a
// details request is told apart by its id.
Answer soaps(const Catalogue& c, const Json& body) {
  if (const auto id = numberField(body, "id_novela")) {
    const Soap* s = soapById(c, id);
    if (!s) return notFound("Novela não encontrada.");
    return {200, line(Json::array({soapJson(*s)}))};
  }
  if (c.soaps.empty()) return notFound("Nenhuma novela disponível.");
  Json out = Json::array();
  for (const Soap& s : c.soaps) out.push_back(soapJson(s));
  return {200, line(out)};
}

Answer chapters(const Catalogue& c, const Json& body, std::string_view base) {
  const Soap* s = soapById(c, numberField(body, "id_novela"));
  if (!s) return notFound("Novela não encontrada.");
  const long page = numberField(body, "pagina").value_or(1);
  if (page < 1 || (page - 1) * kChapterPage >= s->chapters) return notFound("Página não encontrada.");
  Json out = Json::array();
  for (long n = (page - 1) * kChapterPage + 1; n <= std::min<long>(page * kChapterPage, s->chapters); ++n) {
    out.push_back({{"id_capitulo", s->id * 10000 + n},
                   {"numero_capitulo", n},
                   {"link_capitulo",
                    mediaLink(base, "novelas/" + std::to_string(s->id) + "/" + std::to_string(n))}});
  }
  return {200, line(out)};
}

}  // namespace

std::optional<Answer> answerCatalogue(const Catalogue& c, std::string_view path, std::string_view body,
                                      std::string_view base) {
  static constexpr std::string_view kApi = "/api/v1/";
  if (!path.starts_with(kApi)) return std::nullopt;
  const std::string_view resource = path.substr(kApi.size());
  // Bodies are optional (the client sends none with call type 0) and may be
  // left over from an earlier request: only the keys that matter are read.
  const Json request = body.empty() ? Json::object() : Json::parse(body, nullptr, false);
  const auto answer = [&](const std::function<Answer()>& make) -> std::optional<Answer> {
    if (request.is_discarded()) return Answer{400, errorBody("O corpo da requisição não é JSON.")};
    return make();
  };
  const TitleKind<Film> films{c.films, "id_filme", "nome_filme",
                              [](const Film& f) -> const TitleInfo& { return f; },
                              [&](const Film& f) { return filmJson(c, f, base); },
                              "Filme não encontrado.", "Nenhum filme encontrado."};
  const TitleKind<Series> series{c.series, "id_serie", "nome_serie",
                                 [](const Series& s) -> const TitleInfo& { return s.info; },
                                 [&](const Series& s) { return seriesJson(c, s); },
                                 "Série não encontrada.", "Nenhuma série encontrada."};
  if (resource == "listargenerofilme") return answer([&] { return genreList(c.filmGenres); });
  if (resource == "listargeneroserie") return answer([&] { return genreList(c.seriesGenres); });
  if (resource == "listarfilme") return answer([&] { return titles(films, request); });
  if (resource == "listarserie") return answer([&] { return titles(series, request); });
  if (resource == "listarnovela") return answer([&] { return soaps(c, request); });
  if (resource == "listartemporada") return answer([&] { return seasons(c, request); });
  if (resource == "listarepisodio") return answer([&] { return episodes(c, request, base); });
  if (resource == "listarcapitulonovela") return answer([&] { return chapters(c, request, base); });
  return std::nullopt;
}

std::string counterBody(int online) {
  return "{\n  \"quantidade_usuarios\": " + std::to_string(online) + "\n}\n";
}

// The client cuts each message two characters past its key: the portal's
// messages open with a line break.
std::string notificationsBody(const Catalogue& c) {
  Json out = Json::array();
  for (const Note& n : c.notes)
    out.push_back({{"id_notificacao", n.id}, {"mensagem", "\n" + n.message}, {"dataHora", n.dateTime}});
  return line(out);
}

std::string errorBody(std::string_view message) { return line(Json{{"erro", message}}); }

std::optional<MediaKind> mediaKindOf(const Catalogue& c, std::string_view path) {
  static constexpr std::string_view kMedia = "/midia/", kExt = ".ogg";
  if (!path.starts_with(kMedia) || !path.ends_with(kExt)) return std::nullopt;
  std::string_view rest = path.substr(kMedia.size(), path.size() - kMedia.size() - kExt.size());
  const auto after = [&](std::string_view prefix) -> std::optional<std::string_view> {
    if (!rest.starts_with(prefix)) return std::nullopt;
    return rest.substr(prefix.size());
  };
  if (const auto film = after("filmes/")) {
    const auto n = digits(*film);
    for (const Film& f : c.films)
      if (n && f.id == *n) return MediaKind::film;
  } else if (const auto episode = after("episodios/")) {
    const auto n = digits(*episode);
    for (const Series& s : c.series)
      for (const Season& season : s.seasons)
        for (size_t i = 0; i < season.episodes.size(); ++i)
          if (n && episodeId(season, i) == *n) return MediaKind::episode;
  } else if (const auto tail = after("novelas/")) {
    const size_t slash = tail->find('/');
    if (slash == std::string_view::npos) return std::nullopt;
    const Soap* s = soapById(c, digits(tail->substr(0, slash)));
    const auto n = digits(tail->substr(slash + 1));
    if (s && n && *n >= 1 && *n <= s->chapters) return MediaKind::chapter;
  }
  return std::nullopt;
}

}  // namespace vitrine
