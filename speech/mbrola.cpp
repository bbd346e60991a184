#include "speech/mbrola.h"

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string_view>
#include <vector>

#include "platform/platform.h"
#include "platform/process.h"

namespace speech {
namespace {

// How long a line may wait for the program to take it, and how long the
// samples of flushed lines may take to begin and to go on.
constexpr int kWriteWaitMs = 3000;
constexpr int kFlushFirstMs = 250;
constexpr int kFlushQuietMs = 60;

constexpr int kErrorNoProgram = -1, kErrorWrite = -2, kErrorRead = -3;

struct Mbrola {
  std::string program;
  std::string database, renameList, cloneList;
  platform::Filter filter;
  std::vector<uint8_t> pending;  // read while a write waited, not yet taken
  bool flushed = false;
  bool heardSinceFlush = false;
  int noError = 0, frequency = kMbrolaRate, lastError = 0;
  float volume = 1.0f;
};

Mbrola g;

int fail(int error) {
  g.lastError = error;
  return error;
}

// Moves whatever the program has written into `pending`; false when its
// output has ended or failed.
bool drain() {
  uint8_t block[8192];
  for (;;) {
    const ssize_t n = ::read(g.filter.output, block, sizeof block);
    if (n > 0) {
      g.pending.insert(g.pending.end(), block, block + n);
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    return n < 0 && errno == EAGAIN;
  }
}

bool waitReadable(int ms) {
  pollfd p{g.filter.output, POLLIN, 0};
  return ::poll(&p, 1, ms) > 0;
}

int start() {
  if (g.program.empty()) return fail(kErrorNoProgram);
  std::vector<std::string> args;
  if (g.noError != 0) args.push_back("-e");
  if (!g.renameList.empty()) args.insert(args.end(), {"-R", g.renameList});
  if (!g.cloneList.empty()) args.insert(args.end(), {"-C", g.cloneList});
  args.insert(args.end(), {g.database, "-", "-.raw"});
  g.pending.clear();
  g.flushed = false;
  if (!platform::startFilter(g.program, args, g.filter)) return fail(kErrorNoProgram);
  g.lastError = 0;
  return 0;
}

void copyOut(std::string_view text, char* buffer, int length) {
  if (!buffer || length <= 0) return;
  const size_t n = std::min(text.size(), static_cast<size_t>(length - 1));
  std::memcpy(buffer, text.data(), n);
  buffer[n] = '\0';
}

}  // namespace

bool loadMbrola() {
  g.program = platform::findProgramFile("mbrola");
  return !g.program.empty();
}

void releaseMbrola() {
  close_MBR();
  g.program.clear();
}

const std::string& mbrolaProgram() { return g.program; }

int init_MBR(const char* databasePath) { return init_rename_MBR(databasePath, nullptr, nullptr); }

int init_rename_MBR(const char* databasePath, const char* renameList, const char* cloneList) {
  g.database = databasePath ? databasePath : "";
  g.renameList = renameList ? renameList : "";
  g.cloneList = cloneList ? cloneList : "";
  return start();
}

void close_MBR() { platform::endFilter(g.filter); }

int reset_MBR() {
  if (g.filter.pid < 0) return fail(kErrorNoProgram);
  drain();
  g.pending.clear();
  return 0;
}

int write_MBR(const char* lines) {
  if (g.filter.input < 0) return fail(kErrorNoProgram);
  std::string_view rest = lines ? lines : "";
  const uint64_t until = platform::nowMs() + kWriteWaitMs;
  while (!rest.empty()) {
    const ssize_t n = ::write(g.filter.input, rest.data(), rest.size());
    if (n > 0) {
      rest.remove_prefix(static_cast<size_t>(n));
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno != EAGAIN) return fail(kErrorWrite);
    // The program waits for its output to be read before it reads more.
    if (!drain() || platform::nowMs() >= until) return fail(kErrorWrite);
    pollfd p[2] = {{g.filter.input, POLLOUT, 0}, {g.filter.output, POLLIN, 0}};
    ::poll(p, 2, 20);
  }
  g.flushed = false;
  return 0;
}

int flush_MBR() {
  const int written = write_MBR("#\n");
  g.flushed = written == 0;
  g.heardSinceFlush = false;
  return written;
}

int read_MBR(int16_t* buffer, int wanted) {
  if (g.filter.output < 0) return fail(kErrorNoProgram);
  if (wanted <= 0) return 0;
  bool open = drain();
  if (g.pending.size() < 2 && g.flushed && open) {
    // The last samples of flushed lines may still be on their way.
    if (waitReadable(g.heardSinceFlush ? kFlushQuietMs : kFlushFirstMs)) open = drain();
  }
  if (g.pending.size() >= 2) g.heardSinceFlush = true;
  const size_t samples = std::min(g.pending.size() / 2, static_cast<size_t>(wanted));
  if (samples == 0) return open || g.pending.size() < 2 ? 0 : fail(kErrorRead);
  std::memcpy(buffer, g.pending.data(), samples * 2);
  g.pending.erase(g.pending.begin(), g.pending.begin() + static_cast<long>(samples * 2));
  return static_cast<int>(samples);
}

int readtype_MBR(void* buffer, int wanted, int type) {
  return type == 1 ? read_MBR(static_cast<int16_t*>(buffer), wanted) : fail(kErrorRead);
}

int lastError_MBR() { return g.lastError; }

int lastErrorStr_MBR(char* buffer, int length) {
  std::string_view text = "";
  switch (g.lastError) {
    case kErrorNoProgram: text = "mbrola n\xE3o est\xE1 rodando"; break;
    case kErrorWrite: text = "mbrola n\xE3o aceitou a linha"; break;
    case kErrorRead: text = "mbrola parou de responder"; break;
    default: break;
  }
  copyOut(text, buffer, length);
  return g.lastError;
}

void setNoError_MBR(int noError) { g.noError = noError; }
int getNoError_MBR() { return g.noError; }
void setFreq_MBR(int frequency) { g.frequency = frequency; }
int getFreq_MBR() { return g.frequency; }
void setVolumeRatio_MBR(float ratio) { g.volume = ratio; }
float getVolumeRatio_MBR() { return g.volume; }

void getVersion_MBR(char* buffer, int length) { copyOut("mbrola (programa)", buffer, length); }

int getDatabaseInfo_MBR(char* buffer, int length, int index) {
  if (index != 0) return 0;
  copyOut(g.database, buffer, length);
  return static_cast<int>(g.database.size());
}

int setParser_MBR(const char* parser) { return parser && std::string_view(parser) == "phoneme" ? 0 : -1; }

Phone* init_Phone(const char* name, float ms) { return new Phone{name ? name : "", static_cast<int>(ms), ""}; }

void reset_Phone(Phone* phone) {
  if (phone) phone->points.clear();
}

void close_Phone(Phone* phone) { delete phone; }

void appendf0_Phone(Phone* phone, float position, float pitch) {
  if (phone)
    phone->points += " " + std::to_string(static_cast<int>(position)) + " " + std::to_string(static_cast<int>(pitch));
}

std::string phoneLine(const Phone& phone) { return phone.name + " " + std::to_string(phone.ms) + phone.points; }

}  // namespace speech
