// The client's way of reading the portal's answers, written from its field
// table and procedures, so that tests can check every answer by it.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace client_rules {

// UTF8PARAANSI: two-byte sequences become one byte, everything else stays.
std::string utf8ToAnsi(std::string_view s);

// Windows-1252 bytes back to UTF-8, to compare with the fixture.
std::string ansiToUtf8(std::string_view s);

// Characters 10 to 12 of the status line.
std::string statusCode(std::string_view statusLine);

// A row of the field table: find the search text, move on skip characters
// from where it starts, and take everything up to the end marker.
struct Field {
  std::string_view search;
  size_t skip;
  std::string_view end;
};

inline constexpr Field kGenreId{"id_genero", 11, ","}, kGenreName{"nome_genero", 14, "\""},
    kFilmId{"id_filme", 10, ","}, kFilmName{"nome_filme", 13, "\""}, kSeriesId{"id_serie", 10, ","},
    kSeriesName{"nome_serie", 13, "\""}, kSoapId{"id_novela", 11, ","}, kSoapName{"nome_novela", 14, "\""},
    kEpisodeTitle{"titulo\":", 9, "\""}, kEpisodeLink{"link_episodio", 16, "\""},
    kYear{"ano_lancamento", 16, ","}, kPosted{"data_postagem", 16, "\""}, kSynopsis{"sinopse", 10, "\",\""},
    kSoapSynopsis{"sinopse_novela", 17, "\",\""}, kRating{"classificacao_indicativa", 27, "\""},
    kSeasons{"quantidade_temporada", 22, ","}, kChapters{"quantidade_capitulo", 21, ","},
    kLanguage{"idioma_original", 18, "\""}, kFilmGenre{"genero", 24, "\""},
    kSeriesGenre{"\"genero\":{", 25, "\""}, kFilmPoster{"usuario", 26, "\""},
    kSeriesPoster{"usuarios", 27, "\""}, kFilmLink{"link_filme", 13, "\""}, kSoapSource{"fonte_novela", 15, "\""},
    kChapterLink{"link_capitulo", 16, "\""};

// The field cut from the start of the answer; none when the search text or
// the end marker is missing.
std::optional<std::string> cut(std::string_view answer, const Field& field);

// Synopses: an escaped double quote becomes a double quote, an escaped line
// break a blank.
std::string unescapeSynopsis(std::string_view s);

// Building a list from an answer: ids and names in answer order.
struct Item {
  std::string name, id;
};
std::vector<Item> cutList(std::string_view answer, const Field& id, const Field& name);

// The list as the client keeps it: name "=" id ";" ...
std::string listText(const std::vector<Item>& items);

// The id of a menu text: the first occurrence of the text (followed by "="
// unless withEquals is false), then what lies between the next "=" and ";".
std::optional<std::string> lookup(std::string_view list, std::string_view name, bool withEquals = true);

// The value after the n-th (from 1) "id_temporada" up to the next ",":
// the season id the client sends for episodes.
std::optional<std::string> seasonId(std::string_view answer, int n);

// Episodes: each occurrence of the title search text and the link after it.
std::vector<Item> cutEpisodes(std::string_view answer);  // name: title, id: link

// The link of the n-th (from 1) chapter of a page.
std::optional<std::string> chapterLink(std::string_view answer, int n);

// A notification as the client lists it.
struct Note {
  std::string title;     // up to the first escaped line break, trimmed
  std::string message;   // escaped line breaks as CR LF
  std::string dateTime;  // dd/mm/yyyy hh:mm:ss
};
std::vector<Note> cutNotes(std::string_view answer);

// The content a note announces: from two characters after the first "!" of
// its title up to the first "." after it.
std::optional<std::string> noteContentName(std::string_view title);

// The online count: the first body line holding "quantidade_usuarios",
// trimmed, from its 24th character.
std::optional<std::string> onlineCount(std::string_view body);

// The companion's latest version: the second line after the headers.
std::optional<std::string> latestVersion(std::string_view body);

}  // namespace client_rules
