// Files served whole or in part: media for playback and downloads, and the
// updater's folder. A download resumes with "Range: bytes=N-".
#pragma once

#include <string>

#include "http_request.h"
#include "http_response.h"

namespace vitrine {

// 200 with the whole file, 206 with the part a single Range asks for, 416 for
// a range past the end, 404 when the file cannot be read.
Response fileResponse(const std::string& file, const std::string& contentType, const Request& request);

// A name of a file directly in a folder: no separators, not hidden.
bool isPlainFileName(const std::string& name);

// Content type from the file name's extension.
std::string contentTypeFor(const std::string& name);

}  // namespace vitrine
