// Windows-style paths of scripts and settings mapped onto the Linux file system.
// Every file the system opens goes through hostPath.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

// Whether the host path (UTF-8) names a folder, following links.
bool isDirectory(const std::string& path);

// The data the programs ship, read only: $ESCUTA_ROOT, else share/escuta
// beside an installed program's bin/, else the build tree's data root.
std::string sharedDataRoot();

// Root below which drive-letter paths live, where scripts read and write:
// $ESCUTA_ROOT; for an installed program, the user's $XDG_DATA_HOME/escuta
// (~/.local/share/escuta), into which the first call of each process copies
// what is missing of the shared data; else the build tree's data root.
std::string dataRoot();

// Copies into `to` every file and folder of `from` that `to` lacks, never
// replacing what is there, so what the user changed stays. False, with the
// reason, when something could not be copied.
bool seedMissing(const std::string& from, const std::string& to, std::string& error);

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
