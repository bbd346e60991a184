// The sdl backend: a real window drawn with SDL2_ttf, the real keyboard and
// mouse, the desktop's clipboard, and the audio device.
#include <SDL.h>
#include <SDL_ttf.h>

#include <cstring>
#include <deque>
#include <optional>
#include <utility>

#include "platform/backend.h"
#include "platform/base/codepage.h"
#include "platform/process.h"
#include "platform/sdl/sdl_font.h"
#include "platform/sdl/sdl_window_handle.h"
#include "platform/sdl/x_display_lost.h"
#include "platform/sdl/x_window_destroyed.h"
#include "platform/sdl_module.h"

namespace platform {
namespace {

int keyOf(SDL_Keycode k, Mods mods) {
  if (k >= SDLK_a && k <= SDLK_z) return static_cast<int>('A' + (k - SDLK_a));
  if (k >= SDLK_0 && k <= SDLK_9) return static_cast<int>(k);
  if (k >= SDLK_F1 && k <= SDLK_F12) return kKeyF1 + static_cast<int>(k - SDLK_F1);
  switch (k) {
    case SDLK_RETURN: case SDLK_KP_ENTER: return kKeyEnter;
    case SDLK_BACKSPACE: return kKeyBackspace;
    case SDLK_ESCAPE: return kKeyEscape;
    case SDLK_TAB: return kKeyTab;
    case SDLK_LEFTBRACKET: case SDLK_BACKSLASH: case SDLK_RIGHTBRACKET: return static_cast<int>(k);
    case SDLK_SPACE: return kKeySpace;
    case SDLK_INSERT: return kKeyInsert;
    case SDLK_DELETE: return kKeyDelete;
    case SDLK_HOME: return kKeyHome;
    case SDLK_END: return kKeyEnd;
    case SDLK_PAGEUP: return kKeyPageUp;
    case SDLK_PAGEDOWN: return kKeyPageDown;
    case SDLK_UP: return kKeyUp;
    case SDLK_DOWN: return kKeyDown;
    case SDLK_LEFT: return kKeyLeft;
    case SDLK_RIGHT: return kKeyRight;
    case SDLK_PAUSE: case SDLK_CANCEL: return mods.ctrl ? kKeyCancel : kKeyOther;
    case SDLK_LSHIFT: case SDLK_RSHIFT: case SDLK_LCTRL: case SDLK_RCTRL:
    case SDLK_LALT: case SDLK_RALT: case SDLK_MODE: return kKeyModifier;
    default: return kKeyOther;
  }
}

Mods modsOf(Uint16 m) {
  Mods mods;
  mods.shift = (m & KMOD_SHIFT) != 0;
  mods.ctrl = (m & KMOD_CTRL) != 0;
  mods.alt = (m & KMOD_ALT) != 0;
  if (m & KMOD_MODE) mods.ctrl = mods.alt = true;  // AltGr is Ctrl+Alt, as on Windows
  return mods;
}

Uint32 mapRgb(SDL_Surface* s, Rgb c) { return SDL_MapRGB(s->format, c.r, c.g, c.b); }

class SdlBackend final : public Backend {
 public:
  SdlBackend() {
    wakeEvent_ = SDL_RegisterEvents(2);
    audioEvent_ = wakeEvent_ + 1;
    audio_ = openSdlAudio([this](int tag) { blockDone(tag); });
  }
  ~SdlBackend() override { shutdown(); }
  void shutdown() override {
    if (std::exchange(shutDown_, true)) return;
    audio_.reset();
    if (displayLost()) return;
    keepClipboard();
    for (SDL_Surface* p : pictures_) SDL_FreeSurface(p);
    for (SdlFont& f : fonts_) closeSdlFont(f);
    closeWindow();
    TTF_Quit();
    // SDL itself is left to the process's end, which closes its connection:
    // quitting it unloads the X libraries while the program still ends.
  }
  const char* name() const override { return "sdl"; }

  Rect workArea() override {
    SDL_Rect r{0, 0, 1024, 734};
    SDL_GetDisplayUsableBounds(0, &r);
    return Rect{r.x, r.y, r.w, r.h};
  }

  int openFont(const FontSpec& spec, FontMetrics& metrics) override {
    const std::string file = findFontFile(spec.face, spec.weight);
    SdlFont font;
    if (file.empty() || !openSdlFont(file, spec, font)) return -1;
    metrics = font.metrics;
    fonts_.push_back(std::move(font));
    return static_cast<int>(fonts_.size()) - 1;
  }

  bool openWindow(const WindowSpec& spec) override {
    window_ = SDL_CreateWindow(spec.title.c_str(), SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, spec.width,
                               spec.height, SDL_WINDOW_RESIZABLE | (spec.maximized ? SDL_WINDOW_MAXIMIZED : 0));
    if (!window_) return false;
    SDL_SetWindowMinimumSize(window_, spec.minWidth, spec.minHeight);
    SDL_SetWindowMaximumSize(window_, spec.width, spec.height);
    surface_ = SDL_GetWindowSurface(window_);
    // Only now is the X window settled: for its first surface SDL may put a
    // new one in its place.
    watchForDestroy(windowHandle());
    if (surface_) SDL_FillRect(surface_, nullptr, mapRgb(surface_, Rgb{}));
    SDL_StartTextInput();
    markAll();
    present();
    return surface_ != nullptr;
  }

  void closeWindow() override {
    if (!windowGone() && window_ && !displayLost()) SDL_DestroyWindow(window_);
    window_ = nullptr;
    surface_ = nullptr;
  }

  void setTitle(const std::string& utf8) override {
    if (!windowGone() && window_) SDL_SetWindowTitle(window_, utf8.c_str());
  }

  void showWindow(bool shown) override {
    if (windowGone() || !window_) return;
    if (!shown) return SDL_HideWindow(window_);
    SDL_ShowWindow(window_);
    SDL_RestoreWindow(window_);
    SDL_RaiseWindow(window_);
  }

  void mousePosition(bool onScreen, int& x, int& y) override {
    if (onScreen) SDL_GetGlobalMouseState(&x, &y);
    else SDL_GetMouseState(&x, &y);
  }

  // Other programs' windows are the desktop's business; ours is known.
  std::string activeWindowTitle() override { return windowActive() ? SDL_GetWindowTitle(window_) : ""; }

  bool windowActive() override { return window_ && (SDL_GetWindowFlags(window_) & SDL_WINDOW_INPUT_FOCUS); }

  uint64_t windowHandle() override { return window_ ? sdlWindowHandle(window_) : 0; }

  int bottomGap() override {
    if (!window_) return 0;
    int x, y, w, h;
    SDL_GetWindowPosition(window_, &x, &y);
    SDL_GetWindowSize(window_, &w, &h);
    SDL_Rect d{0, 0, 0, 0};
    SDL_GetDisplayBounds(SDL_GetWindowDisplayIndex(window_), &d);
    return d.y + d.h - (y + h);
  }

  void fillRect(const Rect& r, Rgb colour) override {
    if (!begin()) return;
    SDL_Rect sr{r.x, r.y, r.w, r.h};
    SDL_FillRect(surface_, &sr, mapRgb(surface_, colour));
    mark(r);
  }

  void drawText(int font, int x, int y, std::string_view text, Rgb fg, Rgb bg) override {
    if (!begin() || font < 0 || font >= static_cast<int>(fonts_.size())) return;
    SdlFont& f = fonts_[static_cast<size_t>(font)];
    const int cw = f.metrics.cellWidth;
    const Rect all{x, y, cw * static_cast<int>(text.size()), f.metrics.cellHeight};
    SDL_Rect bgRect{all.x, all.y, all.w, all.h};
    SDL_FillRect(surface_, &bgRect, mapRgb(surface_, bg));
    for (size_t i = 0; i < text.size(); ++i) {
      SDL_Surface* g = glyphOf(f, cp1252ToUnicode(static_cast<unsigned char>(text[i])));
      if (!g) continue;
      SDL_SetSurfaceColorMod(g, fg.r, fg.g, fg.b);
      SDL_Rect dst{x + static_cast<int>(i) * cw + f.left, y + f.top, g->w, g->h};
      SDL_Rect clip{x + static_cast<int>(i) * cw, y, cw, f.metrics.cellHeight};
      SDL_SetClipRect(surface_, &clip);
      SDL_BlitSurface(g, nullptr, surface_, &dst);
    }
    SDL_SetClipRect(surface_, nullptr);
    mark(all);
  }

  void scrollUp(const Rect& area, int dy, Rgb fill) override {
    if (!begin() || dy <= 0) return;
    const Rect a = clipToSurface(area);
    if (a.w <= 0 || a.h <= dy) return;
    SDL_LockSurface(surface_);
    auto* px = static_cast<uint8_t*>(surface_->pixels);
    const int bpp = surface_->format->BytesPerPixel;
    for (int row = a.y; row < a.y + a.h - dy; ++row) {
      std::memmove(px + row * surface_->pitch + a.x * bpp, px + (row + dy) * surface_->pitch + a.x * bpp,
                   static_cast<size_t>(a.w * bpp));
    }
    SDL_UnlockSurface(surface_);
    SDL_Rect freed{a.x, a.y + a.h - dy, a.w, dy};
    SDL_FillRect(surface_, &freed, mapRgb(surface_, fill));
    mark(a);
  }

  void present() override {
    if (windowGone() || !window_ || !surface_) return;
    if (caretWanted_ && !caretShown_) {
      invertCaret();
      caretShown_ = true;
    }
    if (dirty_.w > 0 && dirty_.h > 0) {
      SDL_Rect d{dirty_.x, dirty_.y, dirty_.w, dirty_.h};
      SDL_UpdateWindowSurfaceRects(window_, &d, 1);
    }
    dirty_ = Rect{};
  }

  void setCaret(bool visible, const Rect& r) override {
    begin();  // takes an old caret off
    caretWanted_ = visible;
    caret_ = r;
    present();
  }

  int createPicture(int width, int height, const std::vector<uint32_t>& pixels) override {
    if (width <= 0 || height <= 0 || pixels.size() < static_cast<size_t>(width) * static_cast<size_t>(height)) return -1;
    SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, width, height, 32, SDL_PIXELFORMAT_ARGB8888);
    if (!s) return -1;
    SDL_LockSurface(s);
    for (int row = 0; row < height; ++row) {
      std::memcpy(static_cast<uint8_t*>(s->pixels) + row * s->pitch, pixels.data() + static_cast<size_t>(row) * width,
                  static_cast<size_t>(width) * 4);
    }
    SDL_UnlockSurface(s);
    // A PNG's transparent parts show the text beneath; BMP and JPEG are opaque.
    SDL_SetSurfaceBlendMode(s, SDL_BLENDMODE_BLEND);
    pictures_.push_back(s);
    return static_cast<int>(pictures_.size()) - 1;
  }

  void drawPicture(int picture, int x, int y) override {
    if (!begin() || picture < 0 || picture >= static_cast<int>(pictures_.size()) || !pictures_[picture]) return;
    SDL_Surface* p = pictures_[static_cast<size_t>(picture)];
    SDL_Rect dst{x, y, p->w, p->h};
    SDL_BlitSurface(p, nullptr, surface_, &dst);
    mark(Rect{x, y, p->w, p->h});
  }

  void destroyPicture(int picture) override {
    if (picture < 0 || picture >= static_cast<int>(pictures_.size())) return;
    SDL_FreeSurface(pictures_[static_cast<size_t>(picture)]);
    pictures_[static_cast<size_t>(picture)] = nullptr;
  }

  void setClipboard(const std::string& utf8) override {
    if (SDL_SetClipboardText(utf8.c_str()) == 0) clipboard_ = utf8;
  }

  bool getClipboard(std::string& utf8) override {
    char* text = SDL_GetClipboardText();
    if (!text) return false;
    utf8 = text;
    SDL_free(text);
    return true;
  }

  AudioDevice& audio() override { return *audio_; }

  bool waitEvent(Event& event, int timeoutMs) override {
    const Uint32 until = SDL_GetTicks() + static_cast<Uint32>(timeoutMs < 0 ? 0 : timeoutMs);
    for (;;) {
      if (!queued_.empty()) {
        event = queued_.front();
        queued_.pop_front();
        return true;
      }
      SDL_Event e;
      const int left = timeoutMs < 0 ? -1 : static_cast<int>(until - SDL_GetTicks());
      const int got = timeoutMs < 0 ? SDL_WaitEvent(&e) : left <= 0 ? SDL_PollEvent(&e) : SDL_WaitEventTimeout(&e, left);
      if (!got) return false;
      translate(e);
    }
  }

  void wake() override {
    SDL_Event e{};
    e.type = wakeEvent_;
    SDL_PushEvent(&e);
  }

  bool hasRealKeyboard() const override { return true; }

 private:
  void translate(const SDL_Event& e) {
    if (windowGone()) return;  // now a Close: nothing after it matters
    Event ev;
    switch (e.type) {
      case SDL_KEYDOWN:
      case SDL_KEYUP: {
        ev.mods = modsOf(e.key.keysym.mod);
        ev.key = keyOf(e.key.keysym.sym, ev.mods);
        ev.type = e.type == SDL_KEYDOWN ? EventType::KeyDown : EventType::KeyUp;
        ev.system = ev.type == EventType::KeyDown && isSystemKey(ev.key, ev.mods);
        queued_.push_back(ev);
        if (const int c = controlChar(ev.key, ev.mods); c >= 0 && ev.type == EventType::KeyDown) {
          Event ch;
          ch.type = EventType::Char;
          ch.ch = static_cast<unsigned char>(c);
          queued_.push_back(ch);
        }
        return;
      }
      case SDL_TEXTINPUT: {
        // Left Alt combinations are system keys, not text; the right Alt is
        // the layouts' AltGr (ISO_Level3_Shift), which types characters.
        const SDL_Keymod m = SDL_GetModState();
        if ((m & KMOD_LALT) && !(m & KMOD_CTRL)) return;
        const std::string_view text = e.text.text;
        for (size_t pos = 0; pos < text.size();) {
          const int c = unicodeToCp1252(decodeUtf8(text, pos));
          if (c < 32) continue;
          Event ch;
          ch.type = EventType::Char;
          ch.ch = static_cast<unsigned char>(c);
          queued_.push_back(ch);
        }
        return;
      }
      case SDL_MOUSEBUTTONDOWN:
        if (e.button.button != SDL_BUTTON_LEFT && e.button.button != SDL_BUTTON_RIGHT &&
            e.button.button != SDL_BUTTON_MIDDLE)
          return;
        ev.type = EventType::MouseDown;
        ev.mods = modsOf(static_cast<Uint16>(SDL_GetModState()));
        ev.button = e.button.button == SDL_BUTTON_LEFT ? kMouseLeft
                    : e.button.button == SDL_BUTTON_RIGHT ? kMouseRight : kMouseMiddle;
        queued_.push_back(ev);
        return;
      case SDL_MOUSEWHEEL:
        if (e.wheel.y == 0) return;
        ev.type = EventType::Wheel;
        ev.mods = modsOf(static_cast<Uint16>(SDL_GetModState()));
        ev.wheel = (e.wheel.y > 0) == (e.wheel.direction == SDL_MOUSEWHEEL_NORMAL) ? 1 : -1;
        queued_.push_back(ev);
        return;
      case SDL_QUIT:
        ev.type = EventType::Close;
        queued_.push_back(ev);
        return;
      case SDL_WINDOWEVENT:
        switch (e.window.event) {
          case SDL_WINDOWEVENT_FOCUS_GAINED:
            ev.type = EventType::FocusGained;
            ev.buttonsDown = SDL_GetMouseState(nullptr, nullptr) != 0;
            break;
          case SDL_WINDOWEVENT_FOCUS_LOST: ev.type = EventType::FocusLost; break;
          case SDL_WINDOWEVENT_CLOSE: ev.type = EventType::Close; break;
          case SDL_WINDOWEVENT_SIZE_CHANGED:
            // A new size brings a new, blank window image: everything is painted again.
            surface_ = SDL_GetWindowSurface(window_);
            caretShown_ = false;
            [[fallthrough]];
          case SDL_WINDOWEVENT_EXPOSED:
            ev.type = EventType::Expose;
            if (surface_) ev.w = surface_->w, ev.h = surface_->h;
            markAll();
            break;
          default: return;
        }
        queued_.push_back(ev);
        return;
      default:
        if (e.type == wakeEvent_) {
          ev.type = EventType::Wake;
          queued_.push_back(ev);
        } else if (e.type == audioEvent_) {
          ev.type = EventType::AudioDone;
          ev.block = e.user.code;
          queued_.push_back(ev);
        }
        return;
    }
  }

  // Whether another program has destroyed the window. From then on nothing
  // may touch it (SDL would draw on it with the sizes it failed to read),
  // and the program ends as when it is closed.
  bool windowGone() {
    if (window_ && destroyNoticed()) {
      window_ = nullptr;
      surface_ = nullptr;
      windowGone_ = true;
      Event close;
      close.type = EventType::Close;
      queued_.assign(1, close);
    }
    return windowGone_;
  }

  // The desktop's clipboard empties when its owner goes: text this program
  // put there, and still there, is handed to a keeper that outlives it.
  void keepClipboard() {
    if (!clipboard_) return;
    char* now = SDL_GetClipboardText();
    const bool ours = now && *clipboard_ == now;
    SDL_free(now);
    if (!ours) return;
    const std::string keeper = findProgramFile("escuta_clipboard");
    if (!keeper.empty()) startHelper(keeper, *clipboard_, 2000);
  }

  // Before drawing: the caret comes off so that its inversion is never drawn over.
  bool begin() {
    if (!surface_) return false;
    if (caretShown_) {
      invertCaret();
      caretShown_ = false;
    }
    return true;
  }

  void invertCaret() {
    const Rect r = clipToSurface(caret_);
    if (r.w <= 0 || r.h <= 0) return;
    SDL_LockSurface(surface_);
    for (int row = r.y; row < r.y + r.h; ++row) {
      auto* p = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(surface_->pixels) + row * surface_->pitch) + r.x;
      for (int i = 0; i < r.w; ++i) p[i] ^= 0x00FFFFFFu;
    }
    SDL_UnlockSurface(surface_);
    mark(r);
  }

  Rect clipToSurface(const Rect& r) const {
    const int x0 = std::max(r.x, 0), y0 = std::max(r.y, 0);
    const int x1 = std::min(r.x + r.w, surface_->w), y1 = std::min(r.y + r.h, surface_->h);
    return Rect{x0, y0, x1 - x0, y1 - y0};
  }

  void mark(const Rect& r) {
    if (dirty_.w <= 0 || dirty_.h <= 0) {
      dirty_ = r;
    } else {
      const int x0 = std::min(dirty_.x, r.x), y0 = std::min(dirty_.y, r.y);
      const int x1 = std::max(dirty_.x + dirty_.w, r.x + r.w), y1 = std::max(dirty_.y + dirty_.h, r.y + r.h);
      dirty_ = Rect{x0, y0, x1 - x0, y1 - y0};
    }
    if (surface_) dirty_ = clipToSurface(dirty_);
  }
  void markAll() {
    if (surface_) dirty_ = Rect{0, 0, surface_->w, surface_->h};
  }

  // From the audio thread: the block comes back through the event queue.
  void blockDone(int tag) {
    SDL_Event e{};
    e.type = audioEvent_;
    e.user.code = tag;
    SDL_PushEvent(&e);
  }

  SDL_Window* window_ = nullptr;
  SDL_Surface* surface_ = nullptr;
  bool windowGone_ = false;
  bool shutDown_ = false;
  std::vector<SdlFont> fonts_;
  std::vector<SDL_Surface*> pictures_;
  std::deque<Event> queued_;
  Uint32 wakeEvent_ = 0;
  Rect dirty_;
  Rect caret_;
  bool caretWanted_ = false;
  bool caretShown_ = false;
  Uint32 audioEvent_ = 0;
  std::unique_ptr<AudioDevice> audio_;
  std::optional<std::string> clipboard_;  // the text this program last put there
};

bool available() {
  if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) return false;
  if (TTF_Init() != 0) {
    SDL_Quit();
    return false;
  }
  endWhenDisplayLost();
  return true;
}

std::unique_ptr<Backend> create(const Options&) { return std::make_unique<SdlBackend>(); }

}  // namespace

}  // namespace platform

extern "C" const platform::SdlModule* escuta_sdl_module() {
  static const platform::SdlModule module{platform::available, platform::create, platform::openSdlAudio,
                                          platform::resampleSdl};
  return &module;
}
