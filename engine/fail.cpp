#include "engine/fail.h"

#include "speech/speech_service.h"

namespace engine {

bool failSaying(std::string_view message) {
  speech::sayLine(message);
  return false;
}

bool fitsOrSays(size_t size) { return size <= kMaxValueSize || failSaying("Texto grande demais"); }

}  // namespace engine
