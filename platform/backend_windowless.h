// What the backends without a window of their own (headless, tty) share:
// pictures kept as handles only, and a clipboard that lives in the process.
#pragma once
#include <string>
#include <vector>

#include "platform/backend.h"

namespace platform {

class WindowlessBackend : public Backend {
 public:
  int createPicture(int width, int height, const std::vector<uint32_t>&) override {
    return width > 0 && height > 0 ? pictures_++ : -1;
  }
  void drawPicture(int, int, int) override {}
  void destroyPicture(int) override {}
  void setClipboard(const std::string& utf8) override { clipboard_ = utf8; }
  bool getClipboard(std::string& utf8) override {
    utf8 = clipboard_;
    return true;
  }

 private:
  int pictures_ = 0;
  std::string clipboard_;
};

}  // namespace platform
