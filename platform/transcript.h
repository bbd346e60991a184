// The transcript: one line per event the program makes, for tests and tools.
// Written from the real code paths, and flushed line by line so that a killed
// program leaves a complete record.
#pragma once
#include <string>
#include <string_view>

namespace platform {

// "-" writes to standard output (see output_file.h). False when the file
// cannot be created.
bool openTranscript(const std::string& path);
bool transcriptOpen();

// EVENT, a tab, then the Windows-1252 text in UTF-8 with control characters
// and backslashes escaped.
void transcriptEvent(const char* event, std::string_view text);

// The escaped UTF-8 form of a Windows-1252 text, as the transcript writes it.
std::string transcriptEscape(std::string_view text);

}  // namespace platform
