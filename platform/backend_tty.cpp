// The tty backend: the console in the terminal the program runs in (over SSH,
// on the Linux text console), drawn through terminfo, only what changed; keys
// and mouse clicks from the terminal; the sound through SDL audio without a
// window, or silence. The window's pixels are the console's cells: the cell
// size the console computes from the work area divides them back.
#include <fcntl.h>
#include <iconv.h>
#include <langinfo.h>
#include <locale.h>
#include <poll.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdlib>
#include <deque>
#include <utility>

#include "platform/audio_done_queue.h"
#include "platform/backend_windowless.h"
#include "platform/base/codepage.h"
#include "platform/tty_colours.h"
#include "platform/tty_keys.h"
#include "platform/tty_terminal.h"
#include "platform/tty_terminfo.h"

namespace platform {
namespace {

// As headless: the console's cells work out to a whole 13 x 28 pixels.
constexpr Rect kWorkArea{0, 0, 1024, 734};
constexpr int kColumns = 80, kRows = 25;
// How long an Esc waits for the rest of a sequence before it is the Esc key.
constexpr int kEscMs = 100;
// How often the end of a program that has the terminal is looked for.
constexpr int kLentCheckMs = 100;

struct Cell {
  unsigned char ch = ' ';
  Rgb fg{192, 192, 192};
  Rgb bg;
  bool operator==(const Cell&) const = default;
};

int64_t monotonicMs() {
  timespec ts{};
  ::clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<int64_t>(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
}

// The charset of the user's locale, read without changing the program's own.
std::string localeCharset() {
  const locale_t l = ::newlocale(LC_CTYPE_MASK, "", static_cast<locale_t>(nullptr));
  if (!l) return "ANSI_X3.4-1968";
  std::string charset = ::nl_langinfo_l(CODESET, l);
  ::freelocale(l);
  return charset;
}

// One byte through iconv; empty when the other charset lacks it.
std::string convertByte(iconv_t cd, unsigned char byte) {
  if (cd == reinterpret_cast<iconv_t>(-1)) return "";
  char in = static_cast<char>(byte);
  char out[16];
  char* ip = &in;
  char* op = out;
  size_t inLeft = 1, outLeft = sizeof out;
  const bool done = ::iconv(cd, &ip, &inLeft, &op, &outLeft) != static_cast<size_t>(-1);
  ::iconv(cd, nullptr, nullptr, nullptr, nullptr);
  return done ? std::string(out, op) : "";
}

// What the terminal's charset writes for each Windows-1252 byte: control
// codes as blanks, what it lacks as its nearest (iconv's transliteration) or "?".
std::array<std::string, 256> glyphTable(const std::string& charset, bool utf8) {
  std::array<std::string, 256> glyphs;
  const iconv_t cd = utf8 ? reinterpret_cast<iconv_t>(-1) : ::iconv_open((charset + "//TRANSLIT").c_str(), "CP1252");
  for (int b = 0; b < 256; ++b) {
    const auto byte = static_cast<unsigned char>(b);
    if (b < 32 || b == 127) glyphs[byte] = " ";
    else if (b < 128) glyphs[byte] = std::string(1, static_cast<char>(b));
    else if (utf8) glyphs[byte] = cp1252ToUtf8(std::string(1, static_cast<char>(b)));
    else glyphs[byte] = convertByte(cd, byte);
    if (glyphs[byte].empty()) glyphs[byte] = "?";
  }
  if (cd != reinterpret_cast<iconv_t>(-1)) ::iconv_close(cd);
  return glyphs;
}

// The Windows-1252 byte for each byte a one-byte charset sends.
ByteCharset inputCharset(const std::string& charset) {
  ByteCharset table;
  table.fill(-1);
  const iconv_t cd = ::iconv_open("CP1252", charset.c_str());
  for (int b = 0; b < 256; ++b) {
    const std::string c = b < 128 ? std::string(1, static_cast<char>(b)) : convertByte(cd, static_cast<unsigned char>(b));
    if (c.size() == 1) table[static_cast<size_t>(b)] = static_cast<unsigned char>(c[0]);
  }
  if (cd != reinterpret_cast<iconv_t>(-1)) ::iconv_close(cd);
  return table;
}

std::vector<TermSequence> keySequences() {
  std::vector<TermSequence> sequences;
  for (const TermKeyCap& cap : termKeyCaps()) {
    std::string bytes = terminfoString(cap.name);
    if (!bytes.empty()) sequences.push_back({std::move(bytes), cap.key, cap.mods});
  }
  return sequences;
}

bool directColourSaid() {
  const char* c = std::getenv("COLORTERM");
  const std::string colorterm = c ? c : "";
  return colorterm == "truecolor" || colorterm == "24bit" || terminfoFlag("RGB") || terminfoFlag("Tc");
}

// Mouse reporting as the description gives it (XM), else the xterm modes a
// terminal that names a mouse key (kmous) takes.
std::string mouseModes(bool on) {
  if (!terminfoString("XM").empty()) return terminfoOutput("XM", on ? 1 : 0);
  if (terminfoString("kmous").empty()) return "";
  return on ? "\x1b[?1000h\x1b[?1006h" : "\x1b[?1006l\x1b[?1000l";
}

TerminalModes terminalModes() {
  TerminalModes m;
  m.enter = terminfoOutput("smcup") + terminfoOutput("smkx") + mouseModes(true) + terminfoOutput("civis") +
            terminfoOutput("clear");
  m.leave = mouseModes(false) + terminfoOutput("sgr0") + terminfoOutput("cnorm") + terminfoOutput("rmkx") +
            terminfoOutput("rmcup");
  return m;
}

// Lets this process set the terminal's foreground from the background.
void setForeground(pid_t group) {
  sigset_t ttou, old;
  sigemptyset(&ttou);
  sigaddset(&ttou, SIGTTOU);
  ::pthread_sigmask(SIG_BLOCK, &ttou, &old);
  ::tcsetpgrp(0, group);
  ::pthread_sigmask(SIG_SETMASK, &old, nullptr);
}

class TtyBackend final : public WindowlessBackend {
 public:
  TtyBackend()
      : charset_(localeCharset()),
        utf8_(charset_ == "UTF-8"),
        glyphs_(glyphTable(charset_, utf8_)),
        decoder_(keySequences(), utf8_, inputCharset(charset_)),
        modes_(terminalModes()),
        depth_(colourDepth(terminfoNumber("colors"), directColourSaid())),
        lateWrap_(!terminfoFlag("am") || terminfoFlag("xenl")) {
    if (::pipe2(wakePipe_, O_NONBLOCK | O_CLOEXEC) != 0) wakePipe_[0] = wakePipe_[1] = -1;
    // From the device's thread: the block comes back as an event.
    auto sink = [this](int tag) {
      done_.push(tag);
      wake();
    };
    audio_ = makeSdlAudio(sink);
  }
  ~TtyBackend() override {
    shutdown();
    for (int fd : wakePipe_) {
      if (fd >= 0) ::close(fd);
    }
  }
  void shutdown() override {
    if (std::exchange(shutDown_, true)) return;
    audio_.reset();  // while the SDL module it came from is loaded
    giveTerminalBack();
  }
  const char* name() const override { return "tty"; }
  Rect workArea() override { return kWorkArea; }
  int openFont(const FontSpec& spec, FontMetrics& metrics) override {
    metrics = FontMetrics{spec.width, spec.height, spec.height * 4 / 5, 0};
    if (fontWidths_.empty()) {
      cellWidth_ = std::max(1, spec.width);
      cellHeight_ = std::max(1, spec.height);
    }
    fontWidths_.push_back(std::max(1, spec.width));
    return static_cast<int>(fontWidths_.size()) - 1;
  }
  bool openWindow(const WindowSpec& spec) override {
    title_ = spec.title;
    return takeBack();
  }
  void closeWindow() override { giveTerminalBack(); }
  void setTitle(const std::string& utf8) override {
    title_ = utf8;
    if (terminalTaken()) send(titleSequence());
  }
  void showWindow(bool) override {}
  void mousePosition(bool, int& x, int& y) override {
    x = mouseColumn_ * cellWidth_ + cellWidth_ / 2;
    y = mouseRow_ * cellHeight_ + cellHeight_ / 2;
  }
  std::string activeWindowTitle() override { return windowActive() ? title_ : ""; }
  // The console is in front unless a program it started has the terminal.
  bool windowActive() override {
    checkLent();
    return lentTo_ < 0;
  }
  int bottomGap() override { return kWorkArea.h; }

  void fillRect(const Rect& r, Rgb colour) override {
    const int c0 = std::max(0, r.x / cellWidth_), c1 = std::min(kColumns, (r.x + r.w + cellWidth_ - 1) / cellWidth_);
    const int r0 = std::max(0, r.y / cellHeight_), r1 = std::min(kRows, (r.y + r.h + cellHeight_ - 1) / cellHeight_);
    for (int row = r0; row < r1; ++row) {
      for (int c = c0; c < c1; ++c) grid_[row][c] = Cell{' ', colour, colour};
    }
  }
  void drawText(int font, int x, int y, std::string_view text, Rgb fg, Rgb bg) override {
    if (font < 0 || font >= static_cast<int>(fontWidths_.size())) return;
    const int row = y / cellHeight_;
    if (y < 0 || row >= kRows) return;
    // A larger font (the magnifier's) takes as many cells as its width covers.
    const int step = std::max(1, (fontWidths_[static_cast<size_t>(font)] + cellWidth_ / 2) / cellWidth_);
    int column = std::max(0, x) / cellWidth_;
    for (const char ch : text) {
      for (int i = 0; i < step && column < kColumns; ++i, ++column) {
        grid_[row][column] = Cell{i == 0 ? static_cast<unsigned char>(ch) : static_cast<unsigned char>(' '), fg, bg};
      }
    }
  }
  void scrollUp(const Rect& area, int dy, Rgb fill) override {
    const int rows = dy / cellHeight_;
    const int r0 = std::max(0, area.y / cellHeight_), r1 = std::min(kRows, (area.y + area.h) / cellHeight_);
    const int c0 = std::max(0, area.x / cellWidth_), c1 = std::min(kColumns, (area.x + area.w) / cellWidth_);
    if (rows <= 0 || r1 - r0 <= rows) return;
    for (int row = r0; row < r1; ++row) {
      for (int c = c0; c < c1; ++c) grid_[row][c] = row + rows < r1 ? grid_[row + rows][c] : Cell{' ', fill, fill};
    }
  }
  void present() override {
    if (!terminalTaken() || lentTo_ >= 0) return;
    std::string out;
    layOut();
    if (redrawAll_) {
      out += terminfoOutput("sgr0") + terminfoOutput("clear");
      attrsKnown_ = cursorKnown_ = false;
      for (auto& row : known_) row.fill(false);
      if (small_) out += smallNote();
      redrawAll_ = false;
    }
    for (int r = 0; r < visibleRows_; ++r) {
      for (int c = 0; c < visibleColumns_; ++c) {
        const int row = top_ + r, column = left_ + c;
        const Cell& want = grid_[row][column];
        if (known_[row][column] && shown_[row][column] == want) continue;
        // Writing the last cell of a terminal that wraps at once would scroll it.
        if (!lateWrap_ && r == terminalRows_ - 1 && c == terminalColumns_ - 1) continue;
        moveTo(out, r, c);
        setColours(out, want.fg, want.bg);
        out += glyphs_[want.ch];
        shown_[row][column] = want;
        known_[row][column] = true;
        if (++cursorColumn_ >= terminalColumns_) cursorKnown_ = false;
      }
    }
    const int caretR = caretRow_ - top_, caretC = caretColumn_ - left_;
    const bool caretShown =
        caretVisible_ && caretR >= 0 && caretR < visibleRows_ && caretC >= 0 && caretC < visibleColumns_;
    if (caretShown) moveTo(out, caretR, caretC);
    if (caretShown != cursorShown_) out += terminfoOutput(caretShown ? "cnorm" : "civis");
    cursorShown_ = caretShown;
    send(out);
  }
  void setCaret(bool visible, const Rect& r) override {
    caretVisible_ = visible;
    caretColumn_ = std::clamp((r.x + r.w / 2) / cellWidth_, 0, kColumns - 1);
    caretRow_ = std::clamp((r.y + r.h / 2) / cellHeight_, 0, kRows - 1);
    present();
  }

  AudioDevice& audio() override { return *audio_; }

  bool waitEvent(Event& event, int timeoutMs) override {
    const int64_t until = timeoutMs < 0 ? INT64_MAX : monotonicMs() + timeoutMs;
    for (;;) {
      if (!queued_.empty()) {
        event = queued_.front();
        queued_.pop_front();
        return true;
      }
      if (done_.take(event)) return true;
      checkLent();
      if (terminalRedrawWanted() && lentTo_ < 0) {
        readSize();
        redrawAll_ = true;
        present();
      }
      const int64_t now = monotonicMs();
      const bool reading = lentTo_ < 0 && terminalTaken() && !inputGone_;
      int64_t wakeAt = until;
      if (reading && decoder_.waiting()) wakeAt = std::min(wakeAt, escDeadline_);
      if (lentTo_ >= 0) wakeAt = std::min(wakeAt, now + kLentCheckMs);
      const int wait = wakeAt == INT64_MAX ? -1 : static_cast<int>(std::max<int64_t>(0, wakeAt - now));
      pollfd fds[2] = {{wakePipe_[0], POLLIN, 0}, {0, POLLIN, 0}};
      const int n = ::poll(fds, reading ? 2 : 1, wait);
      if (n < 0 && errno != EINTR) return false;
      if (n > 0 && (fds[0].revents & POLLIN)) {
        char buf[64];
        while (::read(wakePipe_[0], buf, sizeof buf) > 0) {
        }
        Event wake;
        wake.type = EventType::Wake;
        queued_.push_back(wake);
      }
      if (n > 0 && reading && fds[1].revents) readInput();
      if (reading && decoder_.waiting() && monotonicMs() >= escDeadline_) decode(true);
      if (queued_.empty() && timeoutMs >= 0 && monotonicMs() >= until) return false;
    }
  }
  void wake() override {
    if (shutDown_) return;
    const char c = 1;
    [[maybe_unused]] ssize_t n = ::write(wakePipe_[1], &c, 1);
  }
  bool hasRealKeyboard() const override { return true; }

  bool hasTerminal() const override { return true; }
  bool lendTerminal(const std::function<int()>& start) override {
    retake_ = terminalTaken();
    giveTerminalBack();
    const int pid = start();
    if (pid <= 0) {
      if (retake_) takeBack();
      return false;
    }
    lentTo_ = pid;
    // Its own foreground group: Ctrl+C and Ctrl+Z at the terminal reach it, not us.
    setForeground(pid);
    ::kill(pid, SIGCONT);  // in case it read the terminal before it was given it
    return true;
  }

 private:
  bool takeBack() {
    if (!takeTerminal(modes_, wakePipe_[1])) return false;
    readSize();
    redrawAll_ = true;
    cursorShown_ = false;
    send(titleSequence());
    present();
    return true;
  }

  void checkLent() {
    if (lentTo_ < 0) return;
    int status = 0;
    if (::waitpid(lentTo_, &status, WNOHANG) == 0) return;  // still running (else ended, or reaped elsewhere)
    lentTo_ = -1;
    setForeground(::getpgrp());
    if (retake_) takeBack();
  }

  void readSize() {
    winsize ws{};
    if (::ioctl(1, TIOCGWINSZ, &ws) == 0 && ws.ws_col > 0 && ws.ws_row > 0) {
      terminalColumns_ = ws.ws_col;
      terminalRows_ = ws.ws_row;
    } else {
      terminalColumns_ = std::max(1, terminfoNumber("cols"));
      terminalRows_ = std::max(1, terminfoNumber("lines"));
    }
  }

  // Which part of the console the terminal shows: all of it, or on a smaller
  // terminal what fits above the note, following the caret.
  void layOut() {
    const bool small = terminalColumns_ < kColumns || terminalRows_ < kRows;
    const int rows = small ? std::max(0, terminalRows_ - 1) : kRows;
    const int columns = std::min(terminalColumns_, kColumns);
    auto follow = [](int at, int shown, int total, int first) {
      if (shown <= 0) return 0;
      if (at < first) first = at;
      if (at >= first + shown) first = at - shown + 1;
      return std::clamp(first, 0, total - shown);
    };
    const int top = follow(caretRow_, rows, kRows, top_);
    const int left = follow(caretColumn_, columns, kColumns, left_);
    if (small != small_ || rows != visibleRows_ || columns != visibleColumns_ || top != top_ || left != left_) {
      redrawAll_ = true;
    }
    small_ = small;
    visibleRows_ = rows;
    visibleColumns_ = columns;
    top_ = top;
    left_ = left;
  }

  // The bottom line of a terminal smaller than the console.
  std::string smallNote() {
    if (terminalRows_ < 1) return "";
    const std::string text = utf8ToCp1252("Terminal de " + std::to_string(terminalColumns_) + "\xC3\x97" +
                                          std::to_string(terminalRows_) + ": o console tem 80\xC3\x97" "25");
    std::string out = terminfoOutput("cup", terminalRows_ - 1, 0) + terminfoOutput("rev");
    const size_t fits = static_cast<size_t>(std::max(0, terminalColumns_ - (lateWrap_ ? 0 : 1)));
    for (size_t i = 0; i < text.size() && i < fits; ++i) out += glyphs_[static_cast<unsigned char>(text[i])];
    cursorKnown_ = attrsKnown_ = false;
    return out + terminfoOutput("sgr0");
  }

  void moveTo(std::string& out, int row, int column) {
    if (cursorKnown_ && cursorRow_ == row && cursorColumn_ == column) return;
    out += terminfoOutput("cup", row, column);
    cursorRow_ = row;
    cursorColumn_ = column;
    cursorKnown_ = true;
  }

  std::string directColour(const char* cap, bool foreground, Rgb c) {
    if (!terminfoString(cap).empty()) return terminfoOutput(cap, c.r, c.g, c.b);
    return std::string("\x1b[") + (foreground ? "38" : "48") + ";2;" + std::to_string(c.r) + ";" +
           std::to_string(c.g) + ";" + std::to_string(c.b) + "m";
  }

  void setColours(std::string& out, Rgb fg, Rgb bg) {
    if (attrsKnown_ && fg == currentFg_ && bg == currentBg_) return;
    if (depth_ == ColourDepth::Direct) {
      out += directColour("setrgbf", true, fg) + directColour("setrgbb", false, bg);
    } else if (depth_ != ColourDepth::None) {
      int f = terminalColour(fg, depth_), b = terminalColour(bg, depth_);
      // Eight colours: the bright ones are the bold ones, and a background has none.
      const bool bold = depth_ == ColourDepth::Eight && f >= 8;
      if (depth_ == ColourDepth::Eight) f &= 7, b &= 7;
      if (!attrsKnown_ || bold != bold_) out += terminfoOutput("sgr0") + (bold ? terminfoOutput("bold") : "");
      bold_ = bold;
      out += terminfoOutput("setaf", f) + terminfoOutput("setab", b);
    }
    currentFg_ = fg;
    currentBg_ = bg;
    attrsKnown_ = true;
  }

  std::string titleSequence() {
    std::string start = terminfoOutput("tsl", 0), end = terminfoOutput("fsl");
    if (start.empty()) {
      start = terminfoOutput("TS");
      if (end.empty()) end = "\a";
    }
    if (start.empty() || end.empty()) return "";
    std::string text;
    for (const char c : utf8ToCp1252(title_)) text += glyphs_[static_cast<unsigned char>(c)];
    return start + text + end;
  }

  void send(const std::string& bytes) {
    const char* p = bytes.data();
    size_t n = bytes.size();
    while (n > 0) {
      const ssize_t w = ::write(1, p, n);
      if (w < 0 && errno == EINTR) continue;
      if (w <= 0) return;
      p += w;
      n -= static_cast<size_t>(w);
    }
  }

  void readInput() {
    char buf[256];
    const ssize_t n = ::read(0, buf, sizeof buf);
    if (n <= 0) {
      if (n < 0 && (errno == EINTR || errno == EAGAIN)) return;
      // The terminal is gone (a hang-up): as a window closed.
      inputGone_ = true;
      Event close;
      close.type = EventType::Close;
      queued_.push_back(close);
      return;
    }
    decoder_.feed(std::string_view(buf, static_cast<size_t>(n)));
    escDeadline_ = monotonicMs() + kEscMs;
    decode(false);
  }

  void decode(bool flush) {
    std::vector<Event> events;
    for (TermInput in; decoder_.next(in, flush);) {
      switch (in.kind) {
        case TermInput::Kind::Key:
          if (in.key == 'Z' && in.mods.ctrl && !in.mods.alt && !in.mods.shift) {
            suspendTerminal();  // back here once resumed, the whole screen to be drawn again
            continue;
          }
          pressKey(in.key, in.mods, events);
          break;
        case TermInput::Kind::Char: pressCharacter(in.ch, in.mods, events); break;
        case TermInput::Kind::Mouse:
        case TermInput::Kind::Wheel: {
          mouseColumn_ = std::clamp(in.column + left_, 0, kColumns - 1);
          mouseRow_ = std::clamp(in.row + top_, 0, kRows - 1);
          Event e;
          e.mods = in.mods;
          if (in.kind == TermInput::Kind::Mouse) {
            e.type = EventType::MouseDown;
            e.button = in.button;
          } else {
            e.type = EventType::Wheel;
            e.wheel = in.wheel;
          }
          events.push_back(e);
          break;
        }
      }
    }
    queued_.insert(queued_.end(), events.begin(), events.end());
  }


  const std::string charset_;
  const bool utf8_;
  const std::array<std::string, 256> glyphs_;
  TermKeyDecoder decoder_;
  const TerminalModes modes_;
  const ColourDepth depth_;
  const bool lateWrap_;  // the cursor stays on a line's last cell after writing it

  int wakePipe_[2] = {-1, -1};
  bool shutDown_ = false;
  std::vector<int> fontWidths_;
  int cellWidth_ = 13, cellHeight_ = 28;
  std::string title_;

  Cell grid_[kRows][kColumns];
  Cell shown_[kRows][kColumns];
  std::array<std::array<bool, kColumns>, kRows> known_{};
  bool redrawAll_ = true;
  int terminalColumns_ = kColumns, terminalRows_ = kRows;
  bool small_ = false;
  int visibleRows_ = kRows, visibleColumns_ = kColumns, top_ = 0, left_ = 0;
  int cursorRow_ = 0, cursorColumn_ = 0;
  bool cursorKnown_ = false;
  bool cursorShown_ = false;
  Rgb currentFg_, currentBg_;
  bool attrsKnown_ = false;
  bool bold_ = false;
  bool caretVisible_ = false;
  int caretRow_ = 0, caretColumn_ = 0;
  int mouseRow_ = 0, mouseColumn_ = 0;

  std::deque<Event> queued_;
  int64_t escDeadline_ = 0;
  bool inputGone_ = false;
  int lentTo_ = -1;  // the program that has the terminal
  bool retake_ = false;  // whether the console had it before

  AudioDoneQueue done_;
  std::unique_ptr<AudioDevice> audio_;
};

// With no display, and input and output at a terminal that terminfo knows.
bool available() {
  if (!::isatty(0) || !::isatty(1)) return false;
  const char* term = std::getenv("TERM");
  return term && *term && std::string(term) != "dumb" && loadTerminfo();
}

std::unique_ptr<Backend> create(const Options&) { return std::make_unique<TtyBackend>(); }

}  // namespace

extern const BackendEntry kTtyBackend{"tty", available, create};

}  // namespace platform
