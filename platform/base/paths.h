// Windows-style paths of scripts and settings mapped onto the Linux file system.
// Every file the system opens goes through hostPath.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

// Root below which drive-letter paths live: $ESCUTA_ROOT, else the installed
// data directory beside the program, else the build tree's.
std::string dataRoot();

// Maps a Windows-1252 path to the UTF-8 Linux path to open. "\" separates;
// "c:\x", "\x" and "\\server\share\x" lie below the data root, the root of
// every drive, and ".." never climbs above it, as it never climbs above a
// drive's root on Windows: from a current directory below the data root,
// "c:x" and relative paths stop there too. "/x" is a Linux path and stays as
// it is, as do relative paths elsewhere. A component that does not exist as
// written is matched without regard to case, as scripts written for Windows
// expect.
std::string hostPath(std::string_view path);

// Directory of the running program file, without a trailing separator.
std::string programDir();

// Full file name of the running program.
std::string programFile();

// True when the file exists and can be opened for reading.
bool readableFile(const std::string& hostFile);

// Creates the directory and its parents; true when it exists afterwards.
bool makeDirectories(const std::string& hostDir);

// Replaces a file's contents at once: written beside it, then renamed over it,
// so a crash or a full disk never leaves it half written.
bool replaceFileAtomically(const std::string& hostFile, std::string_view contents);

// Whole contents of a file; false when it cannot be read, or when it holds
// more than `limit` bytes: then `contents` holds the first limit + 1, and an
// endless file (a device, a pipe) is never read further.
bool readWholeFile(const std::string& hostFile, std::string& contents, size_t limit = SIZE_MAX);

}  // namespace platform
