// ANSIPARAUTF8, UTF8PARAANSI, CODBASE64, DECODBASE64, ADQUOTED, REMOVEQUOTED
// and HTTP (percent-encoding for URLs) convert a variable in place; CODARQBASE64 and DECODARQBASE64 convert whole
// files. Failures are silent: the run's error report says enough.
#include <cstdio>
#include <memory>
#include <string>

#include "engine/api.h"
#include "engine/encodings.h"
#include "engine/libraries.h"
#include "engine/readers.h"
#include "engine/variables.h"
#include "net/url.h"
#include "platform/base/codepage.h"
#include "platform/base/paths.h"

namespace engine {
namespace {

using Conversion = std::string (*)(std::string_view);

// The operand is read for its value, then read again from its start as the
// variable the result goes to: a literal converts but has nowhere to go.
Status inPlace(Interp& in, std::string_view text, Conversion convert) {
  std::string_view valueText = text;
  std::string value;
  int target;
  if (!readOperand(in, valueText, value) || !readTarget(in, text, target)) return false;
  std::string result = convert(value);
  if (result.size() > kMaxValueSize) return false;
  return setVariable(in, target, std::move(result));
}

std::string ansiToUtf8(std::string_view text) { return platform::cp1252ToUtf8(text); }

Status ansiParaUtf8(Interp& in, std::string_view text) { return inPlace(in, text, ansiToUtf8); }
Status utf8ParaAnsi(Interp& in, std::string_view text) { return inPlace(in, text, utf8TwoByteToAnsi); }
Status codBase64(Interp& in, std::string_view text) { return inPlace(in, text, base64Encode); }
Status decodBase64(Interp& in, std::string_view text) { return inPlace(in, text, base64Decode); }
Status adQuoted(Interp& in, std::string_view text) { return inPlace(in, text, quotedEncode); }
Status removeQuoted(Interp& in, std::string_view text) { return inPlace(in, text, quotedDecode); }
Status http(Interp& in, std::string_view text) { return inPlace(in, text, net::percentEncode); }

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

File openHost(const std::string& name, const char* mode) { return File(std::fopen(platform::hostPath(name).c_str(), mode)); }

// A step that turns a block of the source into text for the destination;
// called with an empty block at the end.
template <typename Step>
bool convertFile(Interp& in, std::string_view text, Step step) {
  std::string source, destination;
  if (!readOperand(in, text, source) || !readOperand(in, text, destination)) return false;
  File input = openHost(source, "rb");
  if (!input) return false;
  File out = openHost(destination, "wb");
  if (!out) return false;
  char block[1024];
  std::string produced;
  bool more = true;
  while (more) {
    const size_t got = std::fread(block, 1, sizeof block, input.get());
    if (std::ferror(input.get())) return false;
    more = got > 0;
    produced.clear();
    more = step(std::string_view(block, got), produced) && more;
    if (std::fwrite(produced.data(), 1, produced.size(), out.get()) != produced.size()) return false;
  }
  // A destination that did not reach the disk whole is a failure.
  return std::fclose(out.release()) == 0;
}

Status codArqBase64(Interp& in, std::string_view text) {
  Base64Lines lines;
  return convertFile(in, text, [&lines](std::string_view block, std::string& out) {
    if (block.empty()) lines.finish(out);
    else lines.feed(block, out);
    return true;
  });
}

Status decodArqBase64(Interp& in, std::string_view text) {
  Base64Decoder decoder;
  return convertFile(in, text, [&decoder](std::string_view block, std::string& out) {
    const bool more = !block.empty() && decoder.feed(block, out);
    if (!more) decoder.finish(out);
    return more;
  });
}

constexpr Command kEncodingCommands[] = {
    {"ANSIPARAUTF8", ansiParaUtf8},   {"UTF8PARAANSI", utf8ParaAnsi},     {"CODBASE64", codBase64},
    {"DECODBASE64", decodBase64},     {"ADQUOTED", adQuoted},             {"REMOVEQUOTED", removeQuoted},
    {"CODARQBASE64", codArqBase64},   {"DECODARQBASE64", decodArqBase64}, {"HTTP", http},
};

}  // namespace

Library encodingLibrary() { return kEncodingCommands; }

}  // namespace engine
