// The blocks a sound device has finished, passed from its thread to the
// backend's event wait, which hands them out as AudioDone events.
#pragma once
#include <deque>
#include <mutex>

#include "platform/events.h"

namespace platform {

class AudioDoneQueue {
 public:
  void push(int tag) {
    std::lock_guard lock(lock_);
    done_.push_back(tag);
  }
  bool take(Event& event) {
    std::lock_guard lock(lock_);
    if (done_.empty()) return false;
    event = Event{};
    event.type = EventType::AudioDone;
    event.block = done_.front();
    done_.pop_front();
    return true;
  }

 private:
  std::mutex lock_;
  std::deque<int> done_;
};

}  // namespace platform
