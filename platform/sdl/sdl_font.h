// Fonts for the sdl backend: a face found through fontconfig, sized to a cell,
// with each character's glyph rendered once and kept.
#pragma once
#include <SDL.h>
#include <SDL_ttf.h>

#include <string>
#include <unordered_map>

#include "platform/backend.h"

namespace platform {

struct SdlFont {
  TTF_Font* font = nullptr;
  FontMetrics metrics;
  int top = 0;   // pixels between the cell's top and the glyphs' line box
  int left = 0;  // pixels between the cell's left edge and a glyph's
  std::unordered_map<char32_t, SDL_Surface*> glyphs;  // white on transparent
};

// The font file for a face and weight; DejaVu Sans Mono when the face is not
// installed (fontconfig always offers something, not always what was asked).
std::string findFontFile(const std::string& face, int weight);

// Opens the file at the largest size whose glyphs fit the wanted cell.
bool openSdlFont(const std::string& file, const FontSpec& spec, SdlFont& out);
void closeSdlFont(SdlFont& font);

// The glyph of a code point, rendered on first use; null when it has none.
SDL_Surface* glyphOf(SdlFont& font, char32_t cp);

}  // namespace platform
