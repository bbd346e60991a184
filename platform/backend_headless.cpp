// The headless backend: no window, and a null sound device unless the real
// one is asked for. The console keeps its grids, events come from the key
// script, the clipboard lives in the process.
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>

#include "platform/audio_done_queue.h"
#include "platform/backend_windowless.h"
#include "platform/clock.h"

namespace platform {
namespace {

// The work area a 1024 x 768 screen with a panel leaves, so that the default
// cell size works out to a whole 13 x 28.
constexpr Rect kWorkArea{0, 0, 1024, 734};

class HeadlessBackend final : public WindowlessBackend {
 public:
  explicit HeadlessBackend(const Options& options) {
    if (::pipe2(wakePipe_, O_NONBLOCK | O_CLOEXEC) != 0) wakePipe_[0] = wakePipe_[1] = -1;
    // From the device's thread: the block comes back as an event.
    auto sink = [this](int tag) {
      done_.push(tag);
      wake();
    };
    audio_ = options.audioDevice ? makeSdlAudio(sink) : makeNullAudio(sink);
  }
  ~HeadlessBackend() override {
    audio_.reset();  // its threads report to the pipe
    for (int fd : wakePipe_) {
      if (fd >= 0) ::close(fd);
    }
  }
  const char* name() const override { return "headless"; }
  Rect workArea() override { return kWorkArea; }
  int openFont(const FontSpec& spec, FontMetrics& metrics) override {
    metrics = FontMetrics{spec.width, spec.height, spec.height * 4 / 5, 0};
    return fonts_++;
  }
  bool openWindow(const WindowSpec& spec) override {
    title_ = spec.title;
    return true;
  }
  void closeWindow() override {}
  void setTitle(const std::string& utf8) override { title_ = utf8; }
  void showWindow(bool) override {}
  // The console is the only window, always in front.
  std::string activeWindowTitle() override { return title_; }
  // No pointer: it rests at the top left.
  void mousePosition(bool, int& x, int& y) override { x = y = 0; }
  bool windowActive() override { return true; }
  // The one window of the headless desktop.
  uint64_t windowHandle() override { return 1; }
  int bottomGap() override { return kWorkArea.h; }
  void fillRect(const Rect&, Rgb) override {}
  void drawText(int, int, int, std::string_view, Rgb, Rgb) override {}
  void scrollUp(const Rect&, int, Rgb) override {}
  void present() override {}
  void setCaret(bool, const Rect&) override {}
  AudioDevice& audio() override { return *audio_; }

  bool waitEvent(Event& event, int timeoutMs) override {
    if (done_.take(event)) return true;
    pollfd p{wakePipe_[0], POLLIN, 0};
    int n;
    do {
      n = ::poll(&p, wakePipe_[0] >= 0 ? 1 : 0, realMs(timeoutMs));
    } while (n < 0 && errno == EINTR);
    if (n <= 0) return false;
    char buf[64];
    while (::read(wakePipe_[0], buf, sizeof buf) > 0) {
    }
    if (done_.take(event)) return true;
    event = Event{};
    event.type = EventType::Wake;
    return true;
  }
  void wake() override {
    const char c = 1;
    [[maybe_unused]] ssize_t n = ::write(wakePipe_[1], &c, 1);
  }
  bool hasRealKeyboard() const override { return false; }

 private:
  int wakePipe_[2] = {-1, -1};
  int fonts_ = 0;
  std::string title_;
  AudioDoneQueue done_;
  std::unique_ptr<AudioDevice> audio_;
};

bool available() { return true; }
std::unique_ptr<Backend> create(const Options& options) { return std::make_unique<HeadlessBackend>(options); }

}  // namespace

extern const BackendEntry kHeadlessBackend{"headless", available, create};

}  // namespace platform
