#include "client_rules.h"

namespace client_rules {
namespace {

std::string trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return std::string(s);
}

std::string replaceAll(std::string s, std::string_view from, std::string_view to) {
  for (size_t at = s.find(from); at != std::string::npos; at = s.find(from, at + to.size()))
    s.replace(at, from.size(), to);
  return s;
}

// Lines as the client's line reader gives them: LF ends a line and one CR
// before it is dropped.
std::vector<std::string> lines(std::string_view body) {
  std::vector<std::string> out;
  while (!body.empty()) {
    const size_t lf = body.find('\n');
    std::string line(body.substr(0, lf));
    if (!line.empty() && line.back() == '\r') line.pop_back();
    out.push_back(line);
    body.remove_prefix(lf == std::string_view::npos ? body.size() : lf + 1);
  }
  return out;
}

}  // namespace

std::string utf8ToAnsi(std::string_view s) {
  std::string out;
  for (size_t i = 0; i < s.size(); ++i) {
    const auto c = static_cast<unsigned char>(s[i]);
    if (c >= 192 && c <= 223) {
      const unsigned next = i + 1 < s.size() ? static_cast<unsigned char>(s[i + 1]) : 32u;
      out += static_cast<char>((c * 64 + next % 64) % 256);
      ++i;
    } else {
      out += s[i];
    }
  }
  return out;
}

std::string ansiToUtf8(std::string_view s) {
  std::string out;
  for (const char ch : s) {
    const auto c = static_cast<unsigned char>(ch);
    if (c < 0x80) {
      out += ch;
    } else {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

std::string statusCode(std::string_view line) { return line.size() < 12 ? std::string() : std::string(line.substr(9, 3)); }

std::optional<std::string> cut(std::string_view answer, const Field& f) {
  const size_t at = answer.find(f.search);
  if (at == std::string_view::npos || at + f.skip > answer.size()) return std::nullopt;
  const std::string_view rest = answer.substr(at + f.skip);
  const size_t end = rest.find(f.end);
  if (end == std::string_view::npos) return std::nullopt;
  return std::string(rest.substr(0, end));
}

std::string unescapeSynopsis(std::string_view s) {
  return replaceAll(replaceAll(std::string(s), "\\\"", "\""), "\\n", " ");
}

std::vector<Item> cutList(std::string_view r, const Field& id, const Field& name) {
  std::vector<Item> items;
  for (size_t at = r.find(id.search); at != std::string_view::npos; at = r.find(id.search)) {
    r.remove_prefix(std::min(r.size(), at + id.skip));
    Item item;
    item.id = r.substr(0, r.find(id.end));
    const size_t n = r.find(name.search);
    if (n == std::string_view::npos) break;
    r.remove_prefix(std::min(r.size(), n + name.skip));
    const size_t close = r.find(name.end);
    if (close == std::string_view::npos) break;
    item.name = r.substr(0, close);
    items.push_back(item);
    r.remove_prefix(close + 1);
  }
  return items;
}

std::string listText(const std::vector<Item>& items) {
  std::string out;
  for (const Item& i : items) out += i.name + "=" + i.id + ";";
  return out;
}

std::optional<std::string> lookup(std::string_view list, std::string_view name, bool withEquals) {
  const size_t at = list.find(std::string(name) + (withEquals ? "=" : ""));
  if (at == std::string_view::npos) return std::nullopt;
  const size_t eq = list.find('=', at);
  const size_t semi = list.find(';', eq);
  if (eq == std::string_view::npos || semi == std::string_view::npos) return std::nullopt;
  return std::string(list.substr(eq + 1, semi - eq - 1));
}

namespace {

// Position of the n-th occurrence, each search one character after the last.
std::optional<size_t> nth(std::string_view answer, std::string_view text, int n) {
  size_t at = std::string_view::npos;
  for (int i = 0; i < n; ++i) {
    at = answer.find(text, at == std::string_view::npos ? 0 : at + 1);
    if (at == std::string_view::npos) return std::nullopt;
  }
  return at;
}

}  // namespace

std::optional<std::string> seasonId(std::string_view answer, int n) {
  const auto at = nth(answer, "id_temporada", n);
  if (!at) return std::nullopt;
  return cut(answer.substr(*at), {"id_temporada", 14, ","});
}

std::vector<Item> cutEpisodes(std::string_view r) {
  std::vector<Item> out;
  for (size_t at = r.find(kEpisodeTitle.search); at != std::string_view::npos;
       at = r.find(kEpisodeTitle.search)) {
    r.remove_prefix(at);
    const auto title = cut(r, kEpisodeTitle);
    const auto link = cut(r, kEpisodeLink);
    if (!title || !link) break;
    out.push_back({*title, *link});
    r.remove_prefix(kEpisodeTitle.skip + title->size());
  }
  return out;
}

std::optional<std::string> chapterLink(std::string_view answer, int n) {
  const auto at = nth(answer, "id_capitulo", n);
  if (!at) return std::nullopt;
  return cut(answer.substr(*at), kChapterLink);
}

std::vector<Note> cutNotes(std::string_view r) {
  static constexpr std::string_view kSearch = "mensagem\":\"", kDate = "dataHora\":\"";
  std::vector<Note> out;
  for (size_t at = r.find(kSearch); at != std::string_view::npos; at = r.find(kSearch)) {
    r.remove_prefix(std::min(r.size(), at + 13));
    const std::string message(r.substr(0, r.find("\",\"")));
    Note note;
    note.title = trim(replaceAll(message.substr(0, message.find("\\n")), "\\\"", "\""));
    note.message = replaceAll(replaceAll(message, "\\n", "\r\n"), "\\\"", "\"");
    const size_t d = r.find(kDate);
    if (d == std::string_view::npos) break;
    const std::string dt(r.substr(d + 11, r.find('"', d + 11) - d - 11));
    if (dt.size() < 19) break;
    note.dateTime = dt.substr(8, 2) + "/" + dt.substr(5, 2) + "/" + dt.substr(0, 4) + " " + dt.substr(11, 8);
    out.push_back(note);
  }
  return out;
}

std::optional<std::string> noteContentName(std::string_view title) {
  const size_t bang = title.find('!');
  if (bang == std::string_view::npos) return std::nullopt;
  const std::string_view rest = title.substr(std::min(title.size(), bang + 2));
  const size_t dot = rest.find('.');
  if (dot == std::string_view::npos) return std::nullopt;
  return std::string(rest.substr(0, dot));
}

std::optional<std::string> onlineCount(std::string_view body) {
  for (const std::string& line : lines(body)) {
    if (line.find("quantidade_usuarios") == std::string::npos) continue;
    const std::string t = trim(line);
    if (t.size() < 24) return std::string();
    return t.substr(23);
  }
  return std::nullopt;
}

std::optional<std::string> latestVersion(std::string_view body) {
  const auto all = lines(body);
  if (all.size() < 2) return std::nullopt;
  return all[1];
}

}  // namespace client_rules
