// REMOVE, RENOMEIA, REPLICA, DIR, TAMARQ and HTAMARQ: files and directories
// named as scripts name them, through the path layer. A trailing "&" on the
// first four makes a failed operation succeed silently.
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "engine/api.h"
#include "engine/libraries.h"
#include "engine/readers.h"
#include "engine/text.h"
#include "engine/values.h"
#include "engine/variables.h"
#include "platform/base/decimal_point.h"
#include "platform/base/paths.h"

namespace engine {
namespace {

// Two names and nothing after them.
bool readTwoNames(Interp& in, std::string_view text, std::string& first, std::string& second) {
  return readOperand(in, text, first) && readOperand(in, text, second) && text.empty();
}

Status remove(Interp& in, std::string_view text) {
  const bool quiet = takeAmpersand(text);
  std::string name;
  if (!readOperand(in, text, name) || name.empty()) return false;
  if (::unlink(platform::hostPath(name).c_str()) == 0 || quiet) return true;
  return failSaying("Erro no apagamento do arquivo " + name);
}

Status renomeia(Interp& in, std::string_view text) {
  const bool quiet = takeAmpersand(text);
  std::string from, to;
  if (!readTwoNames(in, text, from, to)) return false;
  // Never over an existing file: a rename here does not replace one.
  const bool ok = ::renameat2(AT_FDCWD, platform::hostPath(from).c_str(), AT_FDCWD,
                              platform::hostPath(to).c_str(), RENAME_NOREPLACE) == 0;
  return ok || quiet;
}

bool sameFile(int a, int b) {
  struct stat sa, sb;
  return ::fstat(a, &sa) == 0 && ::fstat(b, &sb) == 0 && sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

enum class Copy { Done, ReadError, WriteError };

Copy copyBytes(int source, int dest) {
  char block[30000];
  for (;;) {
    const ssize_t n = ::read(source, block, sizeof block);
    if (n < 0 && errno == EINTR) continue;
    if (n == 0) return Copy::Done;
    if (n < 0) return Copy::ReadError;
    if (::write(dest, block, static_cast<size_t>(n)) != n) return Copy::WriteError;
  }
}

// Sources are opened for reading and writing, so a read-only file is not one.
// The destination is opened before it is emptied, so that a copy onto itself
// cannot destroy the file it copies.
Status replica(Interp& in, std::string_view text) {
  const bool quiet = takeAmpersand(text);
  std::string from, to;
  if (!readTwoNames(in, text, from, to)) return false;
  const int source = ::open(platform::hostPath(from).c_str(), O_RDWR | O_CLOEXEC);
  if (source < 0) return false;
  const int dest = ::open(platform::hostPath(to).c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
  Copy result = Copy::WriteError;
  if (dest >= 0 && !sameFile(source, dest) && ::ftruncate(dest, 0) == 0) result = copyBytes(source, dest);
  ::close(source);
  if (dest < 0) return false;
  ::close(dest);
  if (result == Copy::Done || quiet) return true;
  if (result == Copy::ReadError) return failSaying("Erro no processamento de arquivo " + from);
  return failSaying("Erro na escrita de arquivo " + to);
}

Status dir(Interp& in, std::string_view text) {
  const bool quiet = takeAmpersand(text);
  int (*operation)(const std::string&);
  if (startsUpper(text, "CRIA ")) operation = [](const std::string& p) { return ::mkdir(p.c_str(), 0777); };
  else if (startsUpper(text, "REMOVE ")) operation = [](const std::string& p) { return ::rmdir(p.c_str()); };
  else if (startsUpper(text, "TROCA ")) operation = [](const std::string& p) { return ::chdir(p.c_str()); };
  else return false;
  text = trim(text.substr(text.find(' ')));
  std::string path;
  if (!readOperand(in, text, path) || !text.empty()) return false;
  if (operation(platform::hostPath(path)) == 0 || quiet) return true;
  return failSaying("Erro no processamento do diret\xF3rio " + path);
}

// The size of a regular file that can be opened for reading.
bool fileSize(Interp& in, std::string_view& text, int& target, int64_t& size) {
  std::string name;
  if (!readOperand(in, text, name) || !readTarget(in, text, target)) return false;
  const int file = ::open(platform::hostPath(name).c_str(), O_RDONLY | O_CLOEXEC);
  if (file < 0) return false;
  struct stat st;
  const bool regular = ::fstat(file, &st) == 0 && S_ISREG(st.st_mode);
  ::close(file);
  size = st.st_size;
  return regular;
}

Status tamarq(Interp& in, std::string_view text) {
  int target;
  int64_t size;
  if (!fileSize(in, text, target, size)) return false;
  return setVariable(in, target, decimal(size));
}

Status htamarq(Interp& in, std::string_view text) {
  int target;
  int64_t size;
  if (!fileSize(in, text, target, size)) return false;
  static constexpr const char* kUnits[] = {" B", "KB", " MB", "GB", " TB"};
  double value = static_cast<double>(size);
  size_t divisions = 0;
  for (; value >= 1024; ++divisions) value /= 1024;
  std::string shown = platform::fixedDecimal(value, 2, platform::userDecimalPoint());
  if (divisions < std::size(kUnits)) shown += kUnits[divisions];
  return setVariable(in, target, std::move(shown));
}

constexpr Command kFileCommands[] = {
    {"REMOVE", remove}, {"RENOMEIA", renomeia}, {"REPLICA", replica},
    {"DIR", dir},       {"TAMARQ", tamarq},     {"HTAMARQ", htamarq},
};

}  // namespace

Library fileLibrary() { return kFileCommands; }

}  // namespace engine
