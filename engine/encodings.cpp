#include "engine/encodings.h"

namespace engine {
namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr char kHex[] = "0123456789ABCDEF";

int base64Value(unsigned char c) {
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= 'a' && c <= 'z') return c - 'a' + 26;
  if (c >= '0' && c <= '9') return c - '0' + 52;
  if (c == '+') return 62;
  if (c == '/') return 63;
  return -1;
}

int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// The four characters of one group of up to three bytes, padded.
void encodeGroup(std::string_view group, std::string& out) {
  uint32_t v = 0;
  for (size_t i = 0; i < 3; ++i) v = v << 8 | (i < group.size() ? static_cast<unsigned char>(group[i]) : 0u);
  for (size_t i = 0; i < 4; ++i) out += i <= group.size() ? kAlphabet[v >> (18 - 6 * i) & 63] : '=';
}

}  // namespace

std::string utf8TwoByteToAnsi(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c >= 192 && c <= 223) {
      const unsigned next = i + 1 < text.size() ? static_cast<unsigned char>(text[++i]) : 32u;
      out += static_cast<char>((c * 64u + next % 64u) % 256u);
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

std::string base64Encode(std::string_view bytes) {
  std::string out;
  out.reserve((bytes.size() + 2) / 3 * 4);
  for (size_t i = 0; i < bytes.size(); i += 3) encodeGroup(bytes.substr(i, 3), out);
  return out;
}

bool Base64Decoder::feed(std::string_view text, std::string& out) {
  for (const char ch : text) {
    if (ended) break;
    if (ch == '=') {
      ended = true;
      break;
    }
    const int v = base64Value(static_cast<unsigned char>(ch));
    if (v < 0) continue;
    bits = bits << 6 | static_cast<uint32_t>(v);
    if (++count == 4) {
      out += static_cast<char>(bits >> 16 & 0xFF);
      out += static_cast<char>(bits >> 8 & 0xFF);
      out += static_cast<char>(bits & 0xFF);
      bits = 0;
      count = 0;
    }
  }
  return !ended;
}

void Base64Decoder::finish(std::string& out) {
  // Two characters hold one byte, three hold two; one holds none.
  if (count >= 2) out += static_cast<char>(bits >> (6 * count - 8) & 0xFF);
  if (count == 3) out += static_cast<char>(bits >> 2 & 0xFF);
  bits = 0;
  count = 0;
}

std::string base64Decode(std::string_view text) {
  std::string out;
  Base64Decoder d;
  d.feed(text, out);
  d.finish(out);
  return out;
}

void Base64Lines::feed(std::string_view bytes, std::string& out) {
  for (const char b : bytes) {
    pending += b;
    if (pending.size() < 3) continue;
    encodeGroup(pending, line);
    pending.clear();
    if (line.size() == 64) {
      out += line;
      out += "\r\n";
      line.clear();
    }
  }
}

void Base64Lines::finish(std::string& out) {
  if (!pending.empty()) encodeGroup(pending, line);
  pending.clear();
  if (line.empty()) return;
  out += line;
  out += "\r\n";
  line.clear();
}

std::string quotedEncode(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (const char ch : bytes) {
    const unsigned char c = static_cast<unsigned char>(ch);
    if (c < 32 || c == '=' || c >= 127) {
      out += '=';
      out += kHex[c >> 4];
      out += kHex[c & 15];
    } else {
      out += ch;
    }
  }
  return out;
}

std::string quotedDecode(std::string_view text) {
  if (!text.empty() && text.back() == '=') text.remove_suffix(1);
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const int hi = text[i] == '=' && i + 2 < text.size() ? hexValue(text[i + 1]) : -1;
    const int lo = hi >= 0 ? hexValue(text[i + 2]) : -1;
    if (lo >= 0) {
      out += static_cast<char>(hi * 16 + lo);
      i += 2;
    } else {
      out += text[i];
    }
  }
  return out;
}

}  // namespace engine
