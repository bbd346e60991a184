#include "file_answers.h"

#include <algorithm>
#include <charconv>
#include <fstream>
#include <optional>
#include <sys/stat.h>

#include "catalogue_answers.h"

namespace vitrine {
namespace {

constexpr long long kMaxFile = 512LL * 1024 * 1024;

struct Range {
  long long first = 0, last = 0;  // inclusive
};

std::optional<long long> number(std::string_view s) {
  long long n = 0;
  const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), n);
  if (s.empty() || ec != std::errc() || end != s.data() + s.size() || n < 0) return std::nullopt;
  return n;
}

enum class RangeKind { whole, part, unsatisfiable };

// One "bytes=a-b", "bytes=a-" or "bytes=-n"; anything else asks for the
// whole file, as HTTP lets a server ignore a Range it does not take.
RangeKind parseRange(const std::optional<std::string>& header, long long size, Range& out) {
  static constexpr std::string_view kUnit = "bytes=";
  if (!header || !std::string_view(*header).starts_with(kUnit)) return RangeKind::whole;
  const std::string_view ranges = std::string_view(*header).substr(kUnit.size());
  const size_t dash = ranges.find('-');
  if (dash == std::string_view::npos || ranges.find(',') != std::string_view::npos) return RangeKind::whole;
  const auto a = number(ranges.substr(0, dash)), b = number(ranges.substr(dash + 1));
  if (dash == 0) {  // the last n bytes
    if (!b) return RangeKind::whole;
    if (*b == 0 || size == 0) return RangeKind::unsatisfiable;
    out = {std::max(0LL, size - *b), size - 1};
    return RangeKind::part;
  }
  if (!a || (dash + 1 < ranges.size() && (!b || *b < *a))) return RangeKind::whole;
  if (*a >= size) return RangeKind::unsatisfiable;
  out = {*a, b ? std::min(*b, size - 1) : size - 1};
  return RangeKind::part;
}

}  // namespace

bool isPlainFileName(const std::string& name) {
  return !name.empty() && name[0] != '.' && name.find('/') == std::string::npos &&
         name.find('\\') == std::string::npos;
}

std::string contentTypeFor(const std::string& name) {
  const auto ends = [&](std::string_view ext) { return std::string_view(name).ends_with(ext); };
  if (ends(".ogg")) return "audio/ogg";
  if (ends(".mp3")) return "audio/mpeg";
  if (ends(".txt")) return "text/plain; charset=utf-8";
  if (ends(".7z")) return "application/x-7z-compressed";
  return "application/octet-stream";
}

Response fileResponse(const std::string& file, const std::string& contentType, const Request& request) {
  struct stat st {};
  if (::stat(file.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_size > kMaxFile)
    return {404, "application/json; charset=utf-8", {}, errorBody("Arquivo não encontrado.")};
  std::ifstream in(file, std::ios::binary);
  if (!in) return {404, "application/json; charset=utf-8", {}, errorBody("Arquivo não encontrado.")};
  std::string data(static_cast<size_t>(st.st_size), '\0');
  in.read(data.data(), st.st_size);
  data.resize(static_cast<size_t>(in.gcount()));
  const auto size = static_cast<long long>(data.size());

  Range range;
  switch (parseRange(headerValue(request, "Range"), size, range)) {
    case RangeKind::whole:
      return {200, contentType, {{"Accept-Ranges", "bytes"}}, std::move(data)};
    case RangeKind::unsatisfiable:
      return {416, "application/json; charset=utf-8", {{"Content-Range", "bytes */" + std::to_string(size)}},
              errorBody("Intervalo fora do arquivo.")};
    case RangeKind::part:
      break;
  }
  const std::string contentRange = "bytes " + std::to_string(range.first) + "-" +
                                   std::to_string(range.last) + "/" + std::to_string(size);
  return {206, contentType, {{"Accept-Ranges", "bytes"}, {"Content-Range", contentRange}},
          data.substr(static_cast<size_t>(range.first), static_cast<size_t>(range.last - range.first + 1))};
}

}  // namespace vitrine
