#include "platform/transcript.h"

#include <cstdio>

#include "platform/base/codepage.h"
#include "platform/output_file.h"

namespace platform {
namespace {
FILE* g_file = nullptr;
std::string g_path;
}

bool openTranscript(const std::string& path) {
  g_file = openOutputFile(path);
  g_path = path;
  return g_file != nullptr;
}

bool transcriptOpen() { return g_file != nullptr; }

std::string transcriptEscape(std::string_view text) {
  std::string plain;
  std::string out;
  auto flush = [&] {
    out += cp1252ToUtf8(plain);
    plain.clear();
  };
  for (unsigned char c : text) {
    const char* esc = c == '\r' ? "\\r" : c == '\n' ? "\\n" : c == '\t' ? "\\t" : c == '\\' ? "\\\\" : nullptr;
    if (!esc && (c < 32 || c == 127)) {
      static const char kHex[] = "0123456789abcdef";
      flush();
      out += "\\x";
      out += kHex[c >> 4];
      out += kHex[c & 15];
    } else if (esc) {
      flush();
      out += esc;
    } else {
      plain += static_cast<char>(c);
    }
  }
  flush();
  return out;
}

void transcriptEvent(const char* event, std::string_view text) {
  if (!g_file) return;
  const std::string line = std::string(event) + '\t' + transcriptEscape(text) + '\n';
  if (std::fwrite(line.data(), 1, line.size(), g_file) != line.size() || std::fflush(g_file) != 0) {
    outputFailed("the transcript " + g_path);
    g_file = nullptr;  // the rest would be a record with holes
  }
}

}  // namespace platform
