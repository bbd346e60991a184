#include <fstream>
#include <set>
#include <sstream>
#include <stdexcept>

#include <nlohmann/json.hpp>

#include "catalogue.h"

namespace vitrine {
namespace {

using nlohmann::json;

// Raised inside this file only; parseCatalogue turns it into a result.
struct FixtureError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

[[noreturn]] void fail(const std::string& where, const std::string& what) {
  throw FixtureError(where + ": " + what);
}

enum class TextKind { plain, prose };  // prose may hold line breaks and quotes

void checkText(const std::string& where, const std::string& s, TextKind kind) {
  if (s.empty()) fail(where, "empty text");
  for (size_t i = 0; i < s.size(); ++i) {
    const auto c = static_cast<unsigned char>(s[i]);
    if (c == '\\') fail(where, "backslash");
    if (c == '"' && kind == TextKind::plain) fail(where, "double quote");
    if (c == '\n' && kind == TextKind::prose) continue;
    if (c < 0x20 || c == 0x7F) fail(where, "control character");
    // The JSON parser has checked the UTF-8; a lead byte above 0xC3 starts a
    // character beyond Latin-1.
    if (c >= 0xC4) fail(where, "character outside Latin-1");
    if (c == 0xC2 && i + 1 < s.size() && static_cast<unsigned char>(s[i + 1]) < 0xA0)
      fail(where, "control character");
    if (c >= 0xC2) ++i;
  }
}

const json& field(const json& obj, const std::string& where, const char* key) {
  if (!obj.is_object()) fail(where, "not an object");
  const auto it = obj.find(key);
  if (it == obj.end()) fail(where, std::string("missing \"") + key + "\"");
  return *it;
}

long number(const json& obj, const std::string& where, const char* key, long lo, long hi) {
  const json& v = field(obj, where, key);
  if (!v.is_number_integer()) fail(where + "." + key, "not an integer");
  const auto n = v.get<long>();
  if (n < lo || n > hi) fail(where + "." + key, "out of range");
  return n;
}

std::string text(const json& obj, const std::string& where, const char* key,
                 TextKind kind = TextKind::plain) {
  const json& v = field(obj, where, key);
  if (!v.is_string()) fail(where + "." + key, "not a text");
  auto s = v.get<std::string>();
  checkText(where + "." + key, s, kind);
  return s;
}

const json& array(const json& obj, const std::string& where, const char* key) {
  const json& v = field(obj, where, key);
  if (!v.is_array()) fail(where + "." + key, "not a list");
  return v;
}

std::string at(const char* list, size_t i) { return std::string(list) + "[" + std::to_string(i) + "]"; }

void unique(std::set<long>& seen, long id, const std::string& where) {
  if (!seen.insert(id).second) fail(where, "repeated id " + std::to_string(id));
}

constexpr long kMaxId = 999999;

std::vector<Genre> genres(const json& root, const char* key) {
  std::vector<Genre> out;
  std::set<long> seen;
  const json& list = array(root, "catalogue", key);
  for (size_t i = 0; i < list.size(); ++i) {
    const std::string where = at(key, i);
    Genre g{number(list[i], where, "id", 1, kMaxId), text(list[i], where, "nome")};
    unique(seen, g.id, where);
    out.push_back(std::move(g));
  }
  return out;
}

TitleInfo titleInfo(const json& obj, const std::string& where, const std::vector<Genre>& known) {
  TitleInfo t;
  t.id = number(obj, where, "id", 1, kMaxId);
  t.name = text(obj, where, "nome");
  t.genre = number(obj, where, "genero", 1, kMaxId);
  bool found = false;
  for (const Genre& g : known) found = found || g.id == t.genre;
  if (!found) fail(where, "unknown genre " + std::to_string(t.genre));
  t.year = static_cast<int>(number(obj, where, "ano", 1888, 2100));
  t.rating = text(obj, where, "classificacao");
  t.poster = text(obj, where, "postado_por");
  t.posted = text(obj, where, "data_postagem");
  t.language = text(obj, where, "idioma");
  t.synopsis = text(obj, where, "sinopse", TextKind::prose);
  return t;
}

bool isDateTime(const std::string& s) {
  static const std::string shape = "dddd-dd-ddTdd:dd:dd";
  if (s.size() != shape.size()) return false;
  for (size_t i = 0; i < s.size(); ++i) {
    const bool digit = s[i] >= '0' && s[i] <= '9';
    if (shape[i] == 'd' ? !digit : s[i] != shape[i]) return false;
  }
  return true;
}

Catalogue build(const json& root) {
  Catalogue c;
  c.othersOnline = static_cast<int>(number(root, "catalogue", "usuarios_online", 0, 1000000));
  c.filmGenres = genres(root, "generos_filme");
  c.seriesGenres = genres(root, "generos_serie");

  std::set<long> films, series, seasons, soaps, notes;
  const json& fl = array(root, "catalogue", "filmes");
  for (size_t i = 0; i < fl.size(); ++i) {
    c.films.push_back(titleInfo(fl[i], at("filmes", i), c.filmGenres));
    unique(films, c.films.back().id, at("filmes", i));
  }

  const json& sl = array(root, "catalogue", "series");
  for (size_t i = 0; i < sl.size(); ++i) {
    const std::string where = at("series", i);
    Series s{titleInfo(sl[i], where, c.seriesGenres), text(sl[i], where, "audiodescricao"), {}};
    unique(series, s.info.id, where);
    const json& tl = array(sl[i], where, "temporadas");
    if (tl.empty()) fail(where, "no seasons");
    for (size_t j = 0; j < tl.size(); ++j) {
      const std::string sw = where + "." + at("temporadas", j);
      Season season{number(tl[j], sw, "id", 1, kMaxId), {}};
      unique(seasons, season.id, sw);
      const json& el = array(tl[j], sw, "episodios");
      // Episode ids are made from the season id and a two-digit number.
      if (el.empty() || el.size() > 99) fail(sw, "needs 1 to 99 episodes");
      for (size_t k = 0; k < el.size(); ++k) {
        if (!el[k].is_string()) fail(sw + "." + at("episodios", k), "not a text");
        season.episodes.push_back(el[k].get<std::string>());
        checkText(sw + "." + at("episodios", k), season.episodes.back(), TextKind::plain);
      }
      s.seasons.push_back(std::move(season));
    }
    c.series.push_back(std::move(s));
  }

  const json& nl = array(root, "catalogue", "novelas");
  for (size_t i = 0; i < nl.size(); ++i) {
    const std::string where = at("novelas", i);
    Soap s;
    s.id = number(nl[i], where, "id", 1, kMaxId);
    unique(soaps, s.id, where);
    s.name = text(nl[i], where, "nome");
    s.year = static_cast<int>(number(nl[i], where, "ano", 1888, 2100));
    s.chapters = static_cast<int>(number(nl[i], where, "capitulos", 1, 9999));
    s.source = text(nl[i], where, "fonte");
    s.synopsis = text(nl[i], where, "sinopse", TextKind::prose);
    s.language = text(nl[i], where, "idioma");
    c.soaps.push_back(std::move(s));
  }

  const json& ml = array(root, "catalogue", "notificacoes");
  for (size_t i = 0; i < ml.size(); ++i) {
    const std::string where = at("notificacoes", i);
    Note n{number(ml[i], where, "id", 1, kMaxId), text(ml[i], where, "mensagem", TextKind::prose),
           text(ml[i], where, "dataHora")};
    unique(notes, n.id, where);
    if (!isDateTime(n.dateTime)) fail(where + ".dataHora", "not YYYY-MM-DDTHH:MM:SS");
    c.notes.push_back(std::move(n));
  }
  return c;
}

}  // namespace

CatalogueResult parseCatalogue(std::string_view text) {
  const json root = json::parse(text, nullptr, false);
  if (root.is_discarded()) return {false, {}, "not valid JSON"};
  try {
    return {true, build(root), {}};
  } catch (const FixtureError& e) {
    return {false, {}, e.what()};
  }
}

CatalogueResult loadCatalogue(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return {false, {}, path + ": cannot be read"};
  std::ostringstream all;
  all << in.rdbuf();
  CatalogueResult r = parseCatalogue(all.str());
  if (!r.ok) r.error = path + ": " + r.error;
  return r;
}

}  // namespace vitrine
