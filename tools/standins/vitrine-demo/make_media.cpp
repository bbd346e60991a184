// vitrine-media OUT.ogg [SPEECH.wav]: the demo portal's media, a short chime
// followed by a spoken line, as Ogg Vorbis. Run at build time.
#include <cmath>
#include <cstdio>
#include <numbers>
#include <vector>

#include <sndfile.h>

namespace {

constexpr int kDefaultRate = 22050;

void appendNote(std::vector<float>& out, int rate, double hz, double seconds) {
  const auto n = static_cast<size_t>(seconds * rate);
  for (size_t i = 0; i < n; ++i) {
    const double t = static_cast<double>(i) / rate;
    out.push_back(static_cast<float>(0.3 * std::exp(-4.0 * t) * std::sin(2 * std::numbers::pi * hz * t)));
  }
}

void appendSilence(std::vector<float>& out, int rate, double seconds) {
  out.insert(out.end(), static_cast<size_t>(seconds * rate), 0.0f);
}

// The speech, mixed down to one channel; false when it cannot be read.
bool readSpeech(const char* path, std::vector<float>& out, int& rate) {
  SF_INFO info{};
  SNDFILE* in = sf_open(path, SFM_READ, &info);
  if (!in) return false;
  std::vector<float> frames(static_cast<size_t>(info.frames) * static_cast<size_t>(info.channels));
  const sf_count_t got = sf_readf_float(in, frames.data(), info.frames);
  sf_close(in);
  for (sf_count_t f = 0; f < got; ++f) {
    float sum = 0;
    for (int c = 0; c < info.channels; ++c) sum += frames[static_cast<size_t>(f * info.channels + c)];
    out.push_back(sum / static_cast<float>(info.channels));
  }
  rate = info.samplerate;
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || argc > 3) {
    std::fprintf(stderr, "usage: vitrine-media OUT.ogg [SPEECH.wav]\n");
    return 2;
  }
  int rate = kDefaultRate;
  std::vector<float> speech;
  if (argc == 3 && !readSpeech(argv[2], speech, rate)) {
    std::fprintf(stderr, "vitrine-media: cannot read %s\n", argv[2]);
    return 1;
  }
  std::vector<float> samples;
  appendNote(samples, rate, 659.25, 0.25);
  appendNote(samples, rate, 880.0, 0.45);
  appendSilence(samples, rate, 0.2);
  samples.insert(samples.end(), speech.begin(), speech.end());
  appendSilence(samples, rate, 0.3);

  SF_INFO info{};
  info.samplerate = rate;
  info.channels = 1;
  info.format = SF_FORMAT_OGG | SF_FORMAT_VORBIS;
  SNDFILE* out = sf_open(argv[1], SFM_WRITE, &info);
  if (!out) {
    std::fprintf(stderr, "vitrine-media: cannot write %s: %s\n", argv[1], sf_strerror(nullptr));
    return 1;
  }
  const auto frames = static_cast<sf_count_t>(samples.size());
  const bool ok = sf_writef_float(out, samples.data(), frames) == frames;
  sf_close(out);
  return ok ? 0 : 1;
}
