// Text encodings scripts need to talk to web servers: UTF-8 to single bytes,
// Base64 and quoted-printable. Pure byte-string functions.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace engine {

// Two-byte UTF-8 sequences become one byte, (lead * 64 + next % 64) % 256;
// every other byte is copied, so longer sequences pass through unchanged. A
// lead byte at the very end is combined with a space.
std::string utf8TwoByteToAnsi(std::string_view text);

// Standard Base64 with "=" padding, no line breaks.
std::string base64Encode(std::string_view bytes);

// Lenient Base64: characters outside the alphabet are skipped, decoding
// stops at the first "=", and a final partial group gives what it completes.
// Usable on a stream: feed pieces, then finish.
struct Base64Decoder {
  uint32_t bits = 0;
  int count = 0;      // alphabet characters in the current group
  bool ended = false; // an "=" was met
  // Appends the bytes `text` completes; false once decoding has ended.
  bool feed(std::string_view text, std::string& out);
  void finish(std::string& out);
};
std::string base64Decode(std::string_view text);

// Base64 text cut into lines of 64 characters ending in CR LF, built
// piece by piece so a large file never sits whole in memory.
struct Base64Lines {
  std::string pending;  // bytes of an incomplete group of three
  std::string line;     // characters of the line being built
  // Appends the complete lines the bytes produce.
  void feed(std::string_view bytes, std::string& out);
  // Appends the last line, padded, when it is not empty.
  void finish(std::string& out);
};

// Quoted-printable: bytes 0-31, "=" and 127-255 become "=" and two
// upper-case hex digits; no line breaks.
std::string quotedEncode(std::string_view bytes);

// A final lone "=" is dropped; "=" and two hex digits (either case) give a
// byte; anything else is copied.
std::string quotedDecode(std::string_view text);

}  // namespace engine
