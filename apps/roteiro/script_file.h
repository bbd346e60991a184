// A script file as roteiro reads it: Windows-1252 lines (a UTF-8 file is
// recognised and converted), CR LF or LF, at most 5000 of them.
#pragma once
#include <string>

#include "engine/interp.h"

// Stores the file's lines into the interpreter; false with the reason.
bool loadScriptFile(engine::Interp& in, const std::string& hostFile, std::string& error);
