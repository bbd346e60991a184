// The demo portal's catalogue, as read from the fixture file.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vitrine {

struct Genre {
  long id = 0;
  std::string name;
};

// Fields shared by films and series, in the portal's words.
struct TitleInfo {
  long id = 0;
  std::string name;
  long genre = 0;
  int year = 0;
  std::string rating;    // classificação indicativa, "Livre", "12 anos"...
  std::string poster;    // who posted it on the portal
  std::string posted;    // posting date as the portal shows it
  std::string language;
  std::string synopsis;  // may hold line breaks and double quotes
};

using Film = TitleInfo;

struct Season {
  long id = 0;
  std::vector<std::string> episodes;  // titles, in order
};

struct Series {
  TitleInfo info;
  std::string describer;  // who voiced the audio description
  std::vector<Season> seasons;
};

struct Soap {
  long id = 0;
  std::string name;
  int year = 0;
  int chapters = 0;
  std::string source;
  std::string synopsis;
  std::string language;
};

struct Note {
  long id = 0;
  std::string message;   // first line is the note's title
  std::string dateTime;  // YYYY-MM-DDTHH:MM:SS
};

struct Catalogue {
  int othersOnline = 0;  // users shown as online besides the sessions registered here
  std::vector<Genre> filmGenres, seriesGenres;
  std::vector<Film> films;
  std::vector<Series> series;
  std::vector<Soap> soaps;
  std::vector<Note> notes;
};

struct CatalogueResult {
  bool ok = false;
  Catalogue catalogue;
  std::string error;  // what is wrong and where, when !ok
};

// Reads and checks a fixture. Besides its shape, every text must survive the
// client's handling byte for byte: Latin-1 letters only (the client folds
// UTF-8 two-byte sequences and nothing else), no backslashes, and double
// quotes or line breaks only in synopses and messages, where the client undoes
// their escapes.
CatalogueResult parseCatalogue(std::string_view json);
CatalogueResult loadCatalogue(const std::string& path);

}  // namespace vitrine
