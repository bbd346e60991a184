#include "request_log.h"

#include <nlohmann/json.hpp>

namespace vitrine {

void logRequest(RequestLog& log, const LoggedRequest& e) {
  if (!log.file) return;
  const nlohmann::ordered_json line{{"server", e.server}, {"peer", e.peer},     {"method", e.method},
                                    {"path", e.path},     {"status", e.status}, {"request", e.raw}};
  const std::string text = line.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
  const std::lock_guard lock(log.mutex);
  std::fwrite(text.data(), 1, text.size(), log.file);
  std::fflush(log.file);
}

}  // namespace vitrine
