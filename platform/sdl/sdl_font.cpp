#include "platform/sdl/sdl_font.h"

#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cstring>

namespace platform {
namespace {

std::string match(const std::string& face, int weight, bool exactFamily) {
  std::string file;
  FcPattern* pat = FcPatternCreate();
  FcPatternAddString(pat, FC_FAMILY, reinterpret_cast<const FcChar8*>(face.c_str()));
  FcPatternAddInteger(pat, FC_WEIGHT, FcWeightFromOpenType(weight));
  FcPatternAddBool(pat, FC_SCALABLE, FcTrue);
  FcConfigSubstitute(nullptr, pat, FcMatchPattern);
  FcDefaultSubstitute(pat);
  FcResult result;
  if (FcPattern* found = FcFontMatch(nullptr, pat, &result)) {
    FcChar8* family = nullptr;
    FcChar8* path = nullptr;
    if (FcPatternGetString(found, FC_FAMILY, 0, &family) == FcResultMatch &&
        FcPatternGetString(found, FC_FILE, 0, &path) == FcResultMatch &&
        (!exactFamily || strcasecmp(reinterpret_cast<const char*>(family), face.c_str()) == 0)) {
      file = reinterpret_cast<const char*>(path);
    }
    FcPatternDestroy(found);
  }
  FcPatternDestroy(pat);
  return file;
}

}  // namespace

std::string findFontFile(const std::string& face, int weight) {
  if (!FcInit()) return {};
  std::string file = match(face, weight, true);
  if (file.empty()) file = match("DejaVu Sans Mono", weight, false);
  return file;
}

bool openSdlFont(const std::string& file, const FontSpec& spec, SdlFont& out) {
  const int width = std::max(spec.width, 1);
  const int height = std::max(spec.height, 1);
  for (int size = height; size >= 4; --size) {
    TTF_Font* f = TTF_OpenFont(file.c_str(), size);
    if (!f) return false;
    int advance = 0;
    TTF_GlyphMetrics32(f, 'M', nullptr, nullptr, nullptr, nullptr, &advance);
    if ((TTF_FontHeight(f) <= height && advance <= width) || size == 4) {
      out.font = f;
      out.top = (height - TTF_FontHeight(f)) / 2;
      out.left = (width - advance) / 2;
      out.metrics = FontMetrics{width, height, out.top + TTF_FontAscent(f), 0};
      return true;
    }
    TTF_CloseFont(f);
  }
  return false;
}

void closeSdlFont(SdlFont& font) {
  for (auto& [cp, surface] : font.glyphs) SDL_FreeSurface(surface);
  font.glyphs.clear();
  if (font.font) TTF_CloseFont(font.font);
  font.font = nullptr;
}

SDL_Surface* glyphOf(SdlFont& font, char32_t cp) {
  if (auto it = font.glyphs.find(cp); it != font.glyphs.end()) return it->second;
  SDL_Surface* s = nullptr;
  if (cp > ' ' && TTF_GlyphIsProvided32(font.font, cp)) {
    s = TTF_RenderGlyph32_Blended(font.font, cp, SDL_Color{255, 255, 255, 255});
  }
  font.glyphs.emplace(cp, s);
  return s;
}

}  // namespace platform
