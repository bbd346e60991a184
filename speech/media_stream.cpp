#include "speech/media_stream.h"

#include <sndfile.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/audio_device.h"
#include "platform/platform.h"

namespace speech {

// Decodes a file a piece at a time into a ring that the device drains. The
// decoder thread keeps the ring about two seconds ahead; should the device
// pull faster than that (the headless device renders everything due at once
// when its clock is read), the missing frames are decoded right there, a
// bounded piece at a time, so the sound never has a gap or ends early.
class MediaSource final : public platform::AudioSource {
 public:
  MediaSource(SNDFILE* file, const SF_INFO& info, int64_t from, int64_t to)
      : file_(file), rate_(info.samplerate), channels_(info.channels), next_(from), to_(to), position_(from) {
    ringLimit_ = static_cast<size_t>(rate_) * 2 * static_cast<size_t>(channels_);
  }
  ~MediaSource() override { sf_close(file_); }

  int64_t position() const { return position_.load(); }

  void startDecoding() {
    decoder_ = std::thread([this] { decodeAhead(); });
  }

  void stopDecoding() {
    {
      std::lock_guard ring(ringMutex_);
      quit_ = true;
    }
    room_.notify_all();
    if (decoder_.joinable()) decoder_.join();
  }

  size_t mix(int16_t* out, size_t frames, int rate, int channels) override {
    // Input frames per output frame; the source follows the device's rate,
    // which changes when the device opens again.
    const double step = static_cast<double>(rate_) / rate;
    size_t written = 0;
    if (!primed_) {
      primed_ = true;
      hasA_ = pull(a_, 2);
      hasB_ = hasA_ && pull(b_, 2);
    }
    for (; written < frames && hasA_; ++written) {
      for (int c = 0; c < channels; ++c) {
        const double va = sample(a_, c, channels);
        const double vb = hasB_ ? sample(b_, c, channels) : va;
        out[written * static_cast<size_t>(channels) + static_cast<size_t>(c)] =
            static_cast<int16_t>(va + (vb - va) * phase_);
      }
      phase_ += step;
      while (phase_ >= 1.0 && hasA_) {
        phase_ -= 1.0;
        a_.swap(b_);
        hasA_ = hasB_;
        position_.fetch_add(1);
        const size_t want = static_cast<size_t>(static_cast<double>(frames - written) * step) + 2;
        hasB_ = hasA_ && pull(b_, want);
      }
    }
    return written;
  }

 private:
  // A channel of the device from a frame of the file: one channel is the
  // mean of all, two take the first two (a mono file gives both the same).
  double sample(const std::vector<int16_t>& frame, int c, int channels) const {
    if (channels == 1) {
      double sum = 0;
      for (int16_t s : frame) sum += s;
      return sum / channels_;
    }
    return frame[static_cast<size_t>(std::min(c, channels_ - 1))];
  }

  // The next frame of the file into `frame`, refilling the pending frames
  // with up to `want` of them; false at the end.
  bool pull(std::vector<int16_t>& frame, size_t want) {
    const size_t ch = static_cast<size_t>(channels_);
    if (pendingAt_ >= pending_.size()) {
      pending_.clear();
      pendingAt_ = 0;
      take(std::clamp<size_t>(want, 1, kPieceFrames));
      if (pending_.empty()) return false;
    }
    frame.assign(pending_.begin() + static_cast<ptrdiff_t>(pendingAt_),
                 pending_.begin() + static_cast<ptrdiff_t>(pendingAt_ + ch));
    pendingAt_ += ch;
    return true;
  }

  // Moves up to `frames` frames into the pending ones: from the ring, and
  // what the ring lacks decoded now.
  void take(size_t frames) {
    const size_t wanted = frames * static_cast<size_t>(channels_);
    fromRing(wanted);
    if (pending_.size() >= wanted) return;
    // The decoder holds the file only while it decodes one piece and hands
    // it to the ring, so its frames are in the ring, in order, once the file
    // is ours.
    std::lock_guard file(fileMutex_);
    fromRing(wanted);
    if (pending_.size() < wanted) {
      const size_t at = pending_.size();
      pending_.resize(wanted);
      pending_.resize(at + decode(pending_.data() + at, (wanted - at) / static_cast<size_t>(channels_)) *
                               static_cast<size_t>(channels_));
    }
  }

  void fromRing(size_t wanted) {
    {
      std::lock_guard ring(ringMutex_);
      const size_t n = std::min(wanted - pending_.size(), ring_.size());
      pending_.insert(pending_.end(), ring_.begin(), ring_.begin() + static_cast<ptrdiff_t>(n));
      ring_.erase(ring_.begin(), ring_.begin() + static_cast<ptrdiff_t>(n));
    }
    room_.notify_one();
  }

  // Up to `frames` frames from the file, stopping at `to_`; the file's lock
  // is held.
  size_t decode(int16_t* into, size_t frames) {
    const auto n = static_cast<sf_count_t>(std::min<int64_t>(static_cast<int64_t>(frames), to_ - next_));
    if (n <= 0) return 0;
    const sf_count_t got = sf_readf_short(file_, into, n);
    if (got <= 0) {
      to_ = next_;  // a file shorter than it said, or unreadable from here
      return 0;
    }
    next_ += got;
    return static_cast<size_t>(got);
  }

  void decodeAhead() {
    std::vector<int16_t> piece(kPieceFrames * static_cast<size_t>(channels_));
    for (;;) {
      {
        std::unique_lock ring(ringMutex_);
        room_.wait(ring, [&] { return quit_ || ring_.size() < ringLimit_; });
        if (quit_) return;
      }
      size_t got;
      {
        std::lock_guard file(fileMutex_);
        got = decode(piece.data(), kPieceFrames);
        std::lock_guard ring(ringMutex_);
        ring_.insert(ring_.end(), piece.begin(), piece.begin() + static_cast<ptrdiff_t>(got) * channels_);
      }
      if (got == 0) {  // at the end: nothing more to do until told to stop
        std::unique_lock ring(ringMutex_);
        room_.wait(ring, [&] { return quit_; });
        return;
      }
    }
  }

  static constexpr size_t kPieceFrames = 4096;

  SNDFILE* file_;
  const int rate_;
  const int channels_;
  // The file and where its decoding stands: the decoder's, or the device's
  // when the ring runs dry.
  std::mutex fileMutex_;
  int64_t next_;
  int64_t to_;
  // Decoded frames not yet heard, in the file's channels.
  std::mutex ringMutex_;
  std::condition_variable room_;
  std::deque<int16_t> ring_;
  size_t ringLimit_ = 0;
  bool quit_ = false;
  std::thread decoder_;
  // The device's side: frames taken from the ring, and the two frames the
  // output lies between.
  std::vector<int16_t> pending_;
  size_t pendingAt_ = 0;
  std::vector<int16_t> a_, b_;
  bool primed_ = false, hasA_ = false, hasB_ = false;
  double phase_ = 0;
  std::atomic<int64_t> position_;
};

namespace {

SNDFILE* openMedia(const std::string& file, SF_INFO& info) {
  info = SF_INFO{};
  SNDFILE* sf = sf_open(file.c_str(), SFM_READ, &info);
  if (sf && (info.samplerate <= 0 || info.channels <= 0)) {
    sf_close(sf);
    return nullptr;
  }
  return sf;
}

}  // namespace

bool probeMedia(const std::string& file, MediaInfo& info) {
  SF_INFO sf{};
  SNDFILE* s = openMedia(file, sf);
  if (!s) return false;
  info = MediaInfo{sf.frames, sf.samplerate};
  sf_close(s);
  return true;
}

std::unique_ptr<MediaPlayback> MediaPlayback::start(const std::string& file, int64_t from, int64_t to) {
  SF_INFO info{};
  SNDFILE* sf = openMedia(file, info);
  if (!sf) return nullptr;
  to = std::clamp<int64_t>(to, 0, info.frames);
  from = std::clamp<int64_t>(from, 0, to);
  if (from > 0 && sf_seek(sf, from, SEEK_SET) < 0) {
    sf_close(sf);
    return nullptr;
  }
  auto source = std::make_shared<MediaSource>(sf, info, from, to);
  source->startDecoding();
  // The device plays best at the file's own rate, when it is one it takes.
  const platform::WaveFormat format{std::clamp(info.samplerate, 8000, 192000), std::min(info.channels, 2), 16};
  const int id = platform::backend().audio().addSource(source, format);
  if (id == 0) {
    source->stopDecoding();
    return nullptr;
  }
  return std::unique_ptr<MediaPlayback>(new MediaPlayback(std::move(source), id));
}

MediaPlayback::MediaPlayback(std::shared_ptr<MediaSource> source, int id) : source_(std::move(source)), id_(id) {}

MediaPlayback::~MediaPlayback() {
  platform::backend().audio().removeSource(id_);
  source_->stopDecoding();
}

bool MediaPlayback::playing() const { return platform::backend().audio().sourcePlaying(id_); }

int64_t MediaPlayback::position() const { return source_->position(); }

}  // namespace speech
