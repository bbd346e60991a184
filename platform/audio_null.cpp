// The null wave device of the headless backend: nothing is heard, but sound
// takes the time it would take. A clock thread ends each block when its last
// frame is due, and what is played is rendered for the recording as it goes.
#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "platform/audio_mix.h"
#include "platform/clock.h"
#include "platform/audio_record.h"

namespace platform {
namespace {

constexpr size_t kChunkFrames = 1024;

class NullAudio final : public AudioDevice {
 public:
  explicit NullAudio(AudioDoneSink done) : done_(std::move(done)), thread_([this] { run(); }) {}
  ~NullAudio() override {
    {
      std::lock_guard lock(m_);
      catchUp(clockUs());
      quit_ = true;
    }
    cv_.notify_one();
    thread_.join();
  }

  std::vector<std::string> deviceNames() override { return {"Saida nula"}; }

  int openWave(const WaveFormat& format, int device) override {
    if (device < -1 || device > 0) return kWaveBadDevice;
    if (!playableFormat(format)) return kWaveBadFormat;
    std::lock_guard lock(m_);
    openDevice(format);
    wave_ = format;
    return kWaveOk;
  }

  void closeWave() override {
    resetWave();
    std::lock_guard lock(m_);
    wave_ = WaveFormat{};
  }

  bool writeWave(int tag, const uint8_t* data, size_t size) override {
    std::unique_lock lock(m_);
    if (!wave_.rate) return false;
    const int64_t now = clockUs();
    catchUp(now);
    queueMixBlock(mix_, tag, convertPcm(data, size, wave_, mix_.rate, mix_.channels));
    if (mix_.startPending) {  // nothing lies between the write and the first frame
      mix_.times.startedUs = now;
      mix_.startPending = false;
    }
    startRun(now);
    lock.unlock();
    cv_.notify_one();
    return true;
  }

  void resetWave() override {
    std::vector<int> dropped;
    {
      std::lock_guard lock(m_);
      const int64_t now = clockUs();
      catchUp(now);
      dropped = dropMixBlocks(mix_);
      if (!dropped.empty()) mix_.times.silencedUs = now;
      mix_.silencePending = false;
    }
    cv_.notify_one();
    for (int tag : dropped) done_(tag);
  }

  bool wavePlaying() override {
    bool playing;
    {
      std::lock_guard lock(m_);
      catchUp(clockUs());
      playing = !mix_.blocks.empty();
    }
    cv_.notify_one();  // blocks this caught up on are told by the clock thread
    return playing;
  }

  void playTone(std::vector<uint8_t> image, bool loop) override {
    WaveFormat format;
    const uint8_t* data = nullptr;
    size_t size = 0;
    if (!toneSamples(image, format, data, size)) return;
    {
      std::lock_guard lock(m_);
      const int64_t now = clockUs();
      catchUp(now);
      openDevice(format);
      mix_.tone = convertPcm(data, size, format, mix_.rate, mix_.channels);
      mix_.tonePos = 0;
      mix_.toneLoops = loop;
      startRun(now);
    }
    cv_.notify_one();
  }

  void stopTone() override {
    {
      std::lock_guard lock(m_);
      catchUp(clockUs());
      mix_.tone.clear();
    }
    cv_.notify_one();
  }

  int addSource(std::shared_ptr<AudioSource> source, const WaveFormat& format) override {
    if (!playableFormat(format)) return 0;
    std::lock_guard lock(m_);
    const int64_t now = clockUs();
    catchUp(now);
    openDevice(format);
    const int id = addMixSource(mix_, std::move(source));
    startRun(now);
    return id;
  }

  void removeSource(int id) override {
    std::shared_ptr<AudioSource> removed;
    std::lock_guard lock(m_);
    catchUp(clockUs());
    removed = removeMixSource(mix_, id);
  }

  bool sourcePlaying(int id) override {
    std::lock_guard lock(m_);
    catchUp(clockUs());
    return mixSourcePlaying(mix_, id);
  }

  AudioTimes times() override {
    std::lock_guard lock(m_);
    return mix_.times;
  }

 private:
  // The device takes the format of the first sound; later ones are converted.
  void openDevice(const WaveFormat& format) {
    if (mix_.rate) return;
    mix_.rate = format.rate;
    mix_.channels = format.channels;
    recordBits_ = format.bits;
  }

  void startRun(int64_t now) {
    if (running_) return;
    running_ = true;
    runStartUs_ = now;
    framesDone_ = 0;
  }

  // Renders every frame due by `now`; a run ends when nothing is left to play.
  void catchUp(int64_t now) {
    if (!running_) return;
    const auto due = static_cast<uint64_t>((now - runStartUs_) * mix_.rate / 1000000);
    int16_t chunk[kChunkFrames * 2];
    while (running_ && framesDone_ < due) {
      const size_t frames = std::min<uint64_t>(kChunkFrames, due - framesDone_);
      const size_t sound = renderMix(mix_, chunk, frames, now, finished_);
      recordAudio(chunk, sound, mix_.rate, mix_.channels, recordBits_);
      framesDone_ += frames;
      if (sound < frames) running_ = false;
    }
  }

  // When the first queued block's last frame is due.
  int64_t nextEndUs() const {
    const MixBlock& b = mix_.blocks.front();
    const uint64_t left = (b.samples.size() - b.pos) / static_cast<size_t>(mix_.channels);
    return runStartUs_ + static_cast<int64_t>(((framesDone_ + left) * 1000000 + mix_.rate - 1) / mix_.rate);
  }

  void run() {
    std::unique_lock lock(m_);
    while (!quit_) {
      catchUp(clockUs());
      if (!finished_.empty()) {
        std::vector<int> tags;
        tags.swap(finished_);
        lock.unlock();
        for (int tag : tags) done_(tag);
        lock.lock();
        continue;
      }
      if (mix_.blocks.empty()) {
        cv_.wait(lock);
      } else {
        cv_.wait_until(lock, std::chrono::steady_clock::time_point(std::chrono::microseconds(realUsAt(nextEndUs()))));
      }
    }
  }

  AudioDoneSink done_;
  std::mutex m_;
  std::condition_variable cv_;
  bool quit_ = false;
  Mix mix_;
  WaveFormat wave_;
  int recordBits_ = 8;
  bool running_ = false;
  int64_t runStartUs_ = 0;
  uint64_t framesDone_ = 0;
  std::vector<int> finished_;  // ended on the clock, not yet told
  std::thread thread_;          // last: it starts once everything else exists
};

}  // namespace

std::unique_ptr<AudioDevice> makeNullAudio(AudioDoneSink done) { return std::make_unique<NullAudio>(std::move(done)); }

}  // namespace platform
