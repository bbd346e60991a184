// The X11 desktop: keys and clicks through XTest, the keyboard layout read
// through XKB, other programs' windows through the window manager's EWMH
// properties and messages (ICCCM ones when no such manager runs).
#include <map>

#include "automation/accents.h"
#include "automation/desktops.h"
#include "automation/virtual_keys.h"
#include "console/screen.h"
#include "platform/base/codepage.h"
#include "platform/platform.h"

// Last: the X headers define macros (KeyPress, None ...) that clash with names above.
#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

namespace automation {
namespace {

// Windows of other programs come and go at any moment: a request about one
// that has just gone is no reason to end the program. Errors of other
// connections (the console's own) go to the handler that was there before.
Display* g_display = nullptr;
XErrorHandler g_previousHandler = nullptr;

int ignoreOwnErrors(Display* display, XErrorEvent* error) {
  if (display == g_display || !g_previousHandler) return 0;
  return g_previousHandler(display, error);
}

// How long a window is given to go after it was asked to close, looked at
// every so often while our own events are served.
constexpr int kCloseWaitMs = 5000;
constexpr int kCloseStepMs = 50;

constexpr int kKeyGapMs = 10;

KeySym keysymOfVirtualKey(int key) {
  if (key >= kCharKey) {
    const uint32_t u = platform::cp1252ToUnicode(static_cast<uint8_t>(key - kCharKey));
    return u < 0x100 ? u : 0x1000000 + u;
  }
  if (key >= 'A' && key <= 'Z') return XK_a + (key - 'A');
  if (key >= '0' && key <= '9') return XK_0 + (key - '0');
  if (key >= kVkF1 && key < kVkF1 + 24) return XK_F1 + static_cast<KeySym>(key - kVkF1);
  if (key >= 96 && key <= 105) return XK_KP_0 + static_cast<KeySym>(key - 96);
  switch (key) {
    case kVkBack: return XK_BackSpace;
    case kVkTab: return XK_Tab;
    case 12: return XK_Clear;
    case kVkReturn: return XK_Return;
    case kVkShift: case 160: return XK_Shift_L;
    case 161: return XK_Shift_R;
    case kVkControl: case 162: return XK_Control_L;
    case 163: return XK_Control_R;
    case kVkMenu: case 164: return XK_Alt_L;
    case 165: return XK_Alt_R;
    case 19: return XK_Pause;
    case 20: return XK_Caps_Lock;
    case kVkEscape: return XK_Escape;
    case kVkSpace: return XK_space;
    case kVkPrior: return XK_Prior;
    case kVkNext: return XK_Next;
    case kVkEnd: return XK_End;
    case kVkHome: return XK_Home;
    case kVkLeft: return XK_Left;
    case kVkUp: return XK_Up;
    case kVkRight: return XK_Right;
    case kVkDown: return XK_Down;
    case kVkSnapshot: return XK_Print;
    case kVkInsert: return XK_Insert;
    case kVkDelete: return XK_Delete;
    case 91: return XK_Super_L;
    case 92: return XK_Super_R;
    case 93: return XK_Menu;
    case 106: return XK_KP_Multiply;
    case 107: return XK_KP_Add;
    case 109: return XK_KP_Subtract;
    case 110: return XK_KP_Decimal;
    case 111: return XK_KP_Divide;
    case 145: return XK_Scroll_Lock;
    default: return NoSymbol;
  }
}

KeySym keysymOfChar(uint8_t c) { return keysymOfVirtualKey(kCharKey + c); }

KeySym deadKeyOf(uint8_t accent) {
  switch (accent) {
    case '`': return XK_dead_grave;
    case 0xB4: return XK_dead_acute;
    case '^': return XK_dead_circumflex;
    case '~': return XK_dead_tilde;
    default: return XK_dead_diaeresis;
  }
}

// A key of the layout and the modifiers that make it give a keysym.
struct LayoutKey {
  KeyCode code = 0;
  unsigned mods = 0;  // X modifier mask
};

class X11Desktop final : public Desktop {
 public:
  explicit X11Desktop(Display* display) : dpy_(display), root_(DefaultRootWindow(display)) {
    g_display = display;
    g_previousHandler = XSetErrorHandler(ignoreOwnErrors);
  }
  ~X11Desktop() override {
    // Keys borrowed for characters the layout lacks are given back.
    for (const auto& [sym, code] : borrowed_) {
      KeySym none = NoSymbol;
      XChangeKeyboardMapping(dpy_, code, 1, &none, 1);
    }
    if (xkb_) XkbFreeKeyboard(xkb_, 0, True);
    XCloseDisplay(dpy_);
    XSetErrorHandler(g_previousHandler);
    g_display = nullptr;
  }

  void sendKey(int key, bool down) override {
    if (down) refreshLayout();
    const KeySym sym = keysymOfVirtualKey(key);
    LayoutKey k;
    if (sym == NoSymbol || !(findKey(sym, k) || borrowKey(sym, k))) return;
    XTestFakeKeyEvent(dpy_, k.code, down, CurrentTime);
    // A hand leaves time between key events: a program that reads the
    // modifiers as it takes a key sees them still held.
    XSync(dpy_, False);
    platform::sleepMs(kKeyGapMs);
  }

  void toggleNumLock() override {
    const unsigned mask = XkbKeysymToModifiers(dpy_, XK_Num_Lock);
    XkbStateRec state;
    if (!mask || XkbGetState(dpy_, XkbUseCoreKbd, &state) != Success) return;
    XkbLockModifiers(dpy_, XkbUseCoreKbd, mask, (state.locked_mods & mask) ? 0 : mask);
  }

  void typeChar(uint8_t c) override {
    refreshLayout();
    uint8_t accent, base;
    LayoutKey dead;
    if (c >= 128 && decomposeAccent(c, accent, base) && findKey(deadKeyOf(accent), dead)) {
      press(dead);
      LayoutKey k;
      if (findKey(keysymOfChar(base), k) || findKey(XK_space, k)) press(k);
      return;
    }
    // Typed as itself: by the layout's key, else by a key lent to it for the
    // moment, so that nothing typed is dropped.
    LayoutKey k;
    const KeySym sym = keysymOfChar(c);
    if (findKey(sym, k) || borrowKey(sym, k)) press(k);
  }

  void pressCharKey(uint8_t c) override {
    refreshLayout();
    LayoutKey k;
    const KeySym sym = keysymOfChar(c);
    if (!(findKey(sym, k) || borrowKey(sym, k))) return;
    for (const bool down : {true, false}) {
      XTestFakeKeyEvent(dpy_, k.code, down, CurrentTime);
      XSync(dpy_, False);
      platform::sleepMs(1);
    }
  }

  void movePointer(int x, int y) override { XTestFakeMotionEvent(dpy_, -1, x, y, CurrentTime); }
  void leftButton(bool down) override { XTestFakeButtonEvent(dpy_, Button1, down, CurrentTime); }

  // The window in front's left edge plus its frame, and its top edge plus 4.
  void pointerOrigin(int& x, int& y) override {
    x = y = 0;
    const Window w = activeWindow();
    Window child;
    if (!w || !XTranslateCoordinates(dpy_, w, root_, 0, 0, &x, &y, &child)) return;
    const std::vector<long> extents = cardinals(w, atom("_NET_FRAME_EXTENTS"));
    if (extents.size() == 4) y = y - static_cast<int>(extents[2]) + 4;
  }

  std::vector<WindowInfo> windows() override {
    std::vector<WindowInfo> found;
    const std::vector<Window> stack = clientsBottomUp();
    for (auto it = stack.rbegin(); it != stack.rend(); ++it) {
      if (!shownOrMinimised(*it)) continue;
      std::string t = title(*it);
      if (!t.empty()) found.push_back(WindowInfo{*it, std::move(t)});
    }
    return found;
  }

  void act(WindowId id, WindowAction action) override {
    const Window w = static_cast<Window>(id);
    switch (action) {
      case WindowAction::Close: return close(w);
      case WindowAction::Minimize:
        XIconifyWindow(dpy_, w, DefaultScreen(dpy_));
        break;
      case WindowAction::Normal:
      case WindowAction::Maximize: {
        const long op = action == WindowAction::Maximize ? 1 : 0;  // add, remove
        sendToRoot(w, "_NET_WM_STATE", {op, static_cast<long>(atom("_NET_WM_STATE_MAXIMIZED_VERT")),
                                        static_cast<long>(atom("_NET_WM_STATE_MAXIMIZED_HORZ")), 2});
        activate(w);
        break;
      }
    }
    XSync(dpy_, False);
  }

  std::string activeTitle() override {
    const Window w = activeWindow();
    return w ? title(w) : std::string();
  }

  WindowId activeWindowId() override { return activeWindow(); }

  void sync() override { XSync(dpy_, False); }

  bool managed() override { return windowManager(); }

 private:
  Atom atom(const char* name) { return XInternAtom(dpy_, name, False); }

  bool windowManager() {
    const std::vector<long> check = cardinals(root_, atom("_NET_SUPPORTING_WM_CHECK"), XA_WINDOW);
    return !check.empty() && check[0] != 0;
  }

  // A property of 32-bit items.
  std::vector<long> cardinals(Window w, Atom property, Atom type = XA_CARDINAL) {
    Atom actual;
    int format;
    unsigned long count, after;
    unsigned char* data = nullptr;
    std::vector<long> items;
    if (XGetWindowProperty(dpy_, w, property, 0, 65536, False, type, &actual, &format, &count, &after, &data) ==
            Success &&
        data && format == 32) {
      const long* p = reinterpret_cast<const long*>(data);
      items.assign(p, p + count);
    }
    if (data) XFree(data);
    return items;
  }

  std::vector<Window> clientsBottomUp() {
    for (const char* list : {"_NET_CLIENT_LIST_STACKING", "_NET_CLIENT_LIST"}) {
      Atom actual;
      int format;
      unsigned long count, after;
      unsigned char* data = nullptr;
      if (XGetWindowProperty(dpy_, root_, atom(list), 0, 65536, False, XA_WINDOW, &actual, &format, &count, &after,
                             &data) == Success &&
          data && format == 32) {
        const long* p = reinterpret_cast<const long*>(data);
        std::vector<Window> windows(p, p + count);
        XFree(data);
        return windows;
      }
      if (data) XFree(data);
    }
    // No window manager keeps a list: the root's children, bottom first.
    Window rootOut, parent, *children = nullptr;
    unsigned n = 0;
    std::vector<Window> windows;
    if (XQueryTree(dpy_, root_, &rootOut, &parent, &children, &n)) windows.assign(children, children + n);
    if (children) XFree(children);
    return windows;
  }

  // WM_STATE Normal or Iconic; a window no manager looks after counts when
  // it is mapped.
  bool shownOrMinimised(Window w) {
    const Atom wmState = atom("WM_STATE");
    const std::vector<long> state = cardinals(w, wmState, wmState);
    if (!state.empty()) return state[0] == NormalState || state[0] == IconicState;
    XWindowAttributes a;
    return XGetWindowAttributes(dpy_, w, &a) && a.map_state == IsViewable && !a.override_redirect;
  }

  std::string title(Window w) {
    Atom actual;
    int format;
    unsigned long count, after;
    unsigned char* data = nullptr;
    std::string text;
    if (XGetWindowProperty(dpy_, w, atom("_NET_WM_NAME"), 0, 4096, False, atom("UTF8_STRING"), &actual, &format,
                           &count, &after, &data) == Success &&
        data && format == 8) {
      text.assign(reinterpret_cast<const char*>(data), count);
    }
    if (data) XFree(data);
    if (!text.empty()) return text;
    XTextProperty prop;
    if (!XGetWMName(dpy_, w, &prop) || !prop.value) return text;
    if (prop.encoding == XA_STRING) {
      // Latin-1, which is Unicode's first 256 code points.
      for (unsigned long i = 0; i < prop.nitems; ++i) {
        const unsigned char c = prop.value[i];
        if (c < 0x80) {
          text += static_cast<char>(c);
        } else {
          text += static_cast<char>(0xC0 | (c >> 6));
          text += static_cast<char>(0x80 | (c & 0x3F));
        }
      }
    } else {
      char** list = nullptr;
      int n = 0;
      if (Xutf8TextPropertyToTextList(dpy_, &prop, &list, &n) >= Success && list && n > 0) text = list[0];
      if (list) XFreeStringList(list);
    }
    XFree(prop.value);
    return text;
  }

  Window activeWindow() {
    if (windowManager()) {
      // A window just hidden may still be named active for a moment.
      const std::vector<long> active = cardinals(root_, atom("_NET_ACTIVE_WINDOW"), XA_WINDOW);
      const Window w = active.empty() ? 0 : static_cast<Window>(active[0]);
      return w && shownOrMinimised(w) ? w : 0;
    }
    // No manager: the top-level window that holds the focus.
    Window focus = 0;
    int revert;
    XGetInputFocus(dpy_, &focus, &revert);
    while (focus && focus != PointerRoot && focus != root_) {
      Window rootOut, parent, *children = nullptr;
      unsigned n;
      if (!XQueryTree(dpy_, focus, &rootOut, &parent, &children, &n)) return 0;
      if (children) XFree(children);
      if (parent == root_) return focus;
      focus = parent;
    }
    return 0;
  }

  void sendToRoot(Window w, const char* message, std::initializer_list<long> data) {
    XEvent e{};
    e.xclient.type = ClientMessage;
    e.xclient.window = w;
    e.xclient.message_type = atom(message);
    e.xclient.format = 32;
    int i = 0;
    for (const long v : data) e.xclient.data.l[i++] = v;
    XSendEvent(dpy_, root_, False, SubstructureRedirectMask | SubstructureNotifyMask, &e);
  }

  void activate(Window w) {
    if (windowManager()) {
      XMapWindow(dpy_, w);  // an iconic window comes back first
      sendToRoot(w, "_NET_ACTIVE_WINDOW", {2, CurrentTime, 0});
    } else {
      XMapRaised(dpy_, w);
      XSetInputFocus(dpy_, w, RevertToParent, CurrentTime);
    }
  }

  bool listed(Window w) {
    for (const WindowInfo& info : windows()) {
      if (info.id == w) return true;
    }
    return false;
  }

  // Asks the window to close as its close box would, then waits for it to
  // go while our own events are served (the console's own close ends us).
  void close(Window w) {
    if (windowManager()) {
      sendToRoot(w, "_NET_CLOSE_WINDOW", {CurrentTime, 2});
    } else {
      XEvent e{};
      e.xclient.type = ClientMessage;
      e.xclient.window = w;
      e.xclient.message_type = atom("WM_PROTOCOLS");
      e.xclient.format = 32;
      e.xclient.data.l[0] = static_cast<long>(atom("WM_DELETE_WINDOW"));
      e.xclient.data.l[1] = CurrentTime;
      XSendEvent(dpy_, w, False, NoEventMask, &e);
    }
    XSync(dpy_, False);
    for (int waited = 0; waited < kCloseWaitMs && listed(w); waited += kCloseStepMs) console::delayMs(kCloseStepMs);
  }

  // The keyboard map as it is now: layouts change while we run.
  void refreshLayout() {
    if (xkb_) XkbFreeKeyboard(xkb_, 0, True);
    xkb_ = XkbGetMap(dpy_, XkbKeyTypesMask | XkbKeySymsMask | XkbModifierMapMask, XkbUseCoreKbd);
    XkbStateRec state;
    group_ = XkbGetState(dpy_, XkbUseCoreKbd, &state) == Success ? state.group : 0;
  }

  // The key of the current group that gives the keysym with the fewest
  // modifiers, Lock never among them.
  bool findKey(KeySym sym, LayoutKey& out) {
    if (!xkb_) refreshLayout();
    if (!xkb_ || sym == NoSymbol) return false;
    int best = 99;
    for (int code = xkb_->min_key_code; code <= xkb_->max_key_code; ++code) {
      const int groups = XkbKeyNumGroups(xkb_, code);
      if (groups == 0) continue;
      const int group = group_ < groups ? group_ : 0;
      const XkbKeyTypePtr type = XkbKeyKeyType(xkb_, code, group);
      for (int level = 0; level < type->num_levels; ++level) {
        if (XkbKeySymEntry(xkb_, code, level, group) != sym) continue;
        unsigned mods = 0;
        if (!levelMods(type, level, mods)) continue;
        const int count = __builtin_popcount(mods);
        if (count < best) {
          best = count;
          out = LayoutKey{static_cast<KeyCode>(code), mods};
        }
      }
    }
    return best < 99;
  }

  static bool levelMods(const XkbKeyTypePtr type, int level, unsigned& mods) {
    if (level == 0) return true;
    for (int i = 0; i < type->map_count; ++i) {
      const XkbKTMapEntryRec& e = type->map[i];
      if (e.active && e.level == level && !(e.mods.mask & LockMask)) {
        mods = e.mods.mask;
        return true;
      }
    }
    return false;
  }

  // A key that types nothing in the layout, lent to the keysym until we end.
  bool borrowKey(KeySym sym, LayoutKey& out) {
    if (sym == NoSymbol) return false;
    if (const auto it = borrowed_.find(sym); it != borrowed_.end()) {
      out = LayoutKey{it->second, 0};
      return true;
    }
    if (!xkb_) refreshLayout();
    if (!xkb_) return false;
    for (int code = xkb_->max_key_code; code >= xkb_->min_key_code; --code) {
      if (XkbKeyNumGroups(xkb_, code) != 0 || xkb_->map->modmap[code] != 0 || lent(static_cast<KeyCode>(code))) continue;
      KeySym both[2] = {sym, sym};
      XChangeKeyboardMapping(dpy_, code, 2, both, 1);
      XSync(dpy_, False);
      borrowed_[sym] = static_cast<KeyCode>(code);
      refreshLayout();
      out = LayoutKey{static_cast<KeyCode>(code), 0};
      return true;
    }
    return false;
  }

  bool lent(KeyCode code) const {
    for (const auto& [sym, c] : borrowed_) {
      if (c == code) return true;
    }
    return false;
  }

  // The key with its modifiers held, as a hand on the keyboard would.
  void press(const LayoutKey& k) {
    std::vector<KeyCode> held;
    if (k.mods) {
      XModifierKeymap* map = XGetModifierMapping(dpy_);
      for (int bit = 0; bit < 8 && map; ++bit) {
        if (!(k.mods & (1u << bit))) continue;
        for (int i = 0; i < map->max_keypermod; ++i) {
          const KeyCode c = map->modifiermap[bit * map->max_keypermod + i];
          if (c) {
            held.push_back(c);
            break;
          }
        }
      }
      if (map) XFreeModifiermap(map);
    }
    for (const KeyCode c : held) XTestFakeKeyEvent(dpy_, c, True, CurrentTime);
    XTestFakeKeyEvent(dpy_, k.code, True, CurrentTime);
    XTestFakeKeyEvent(dpy_, k.code, False, CurrentTime);
    for (auto it = held.rbegin(); it != held.rend(); ++it) XTestFakeKeyEvent(dpy_, *it, False, CurrentTime);
    XSync(dpy_, False);
  }

  Display* dpy_;
  Window root_;
  XkbDescPtr xkb_ = nullptr;
  int group_ = 0;
  std::map<KeySym, KeyCode> borrowed_;
};

}  // namespace

std::unique_ptr<Desktop> openX11Desktop() {
  Display* display = XOpenDisplay(nullptr);
  if (!display) return nullptr;
  int event, error, major, minor;
  if (!XTestQueryExtension(display, &event, &error, &major, &minor)) {
    XCloseDisplay(display);
    return nullptr;
  }
  return std::make_unique<X11Desktop>(display);
}

}  // namespace automation
