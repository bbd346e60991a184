// Media files (WAV, FLAC, Ogg, MP3: whatever libsndfile reads) played in the
// background: a sound of their own mixed into the wave device beside speech,
// decoded off the script thread in bounded pieces. Stopping speech, a key or
// the speech waits never touch it; only stopping the playback does.
#pragma once
#include <cstdint>
#include <memory>
#include <string>

namespace speech {

struct MediaInfo {
  int64_t frames = 0;
  int rate = 0;
};

// Whether the file (a host path) is a media file we can play, and its length.
bool probeMedia(const std::string& file, MediaInfo& info);

class MediaSource;

// One playback of frames [from, to) of a file; it ends by itself at `to`, and
// stops when destroyed.
class MediaPlayback {
 public:
  // nullptr when the file cannot be opened or no device takes the sound.
  static std::unique_ptr<MediaPlayback> start(const std::string& file, int64_t from, int64_t to);
  ~MediaPlayback();
  MediaPlayback(const MediaPlayback&) = delete;
  MediaPlayback& operator=(const MediaPlayback&) = delete;

  // Still being heard.
  bool playing() const;
  // The frame of the file being heard now.
  int64_t position() const;

 private:
  MediaPlayback(std::shared_ptr<MediaSource> source, int id);
  std::shared_ptr<MediaSource> source_;
  int id_ = 0;
};

}  // namespace speech
