// The requests of the web commands: one GET per connection, which the
// server closes after its answer.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "net/url.h"

namespace net {

// The download's request; a Range from `resumeFrom` on when it is not
// negative, a Cookie line only for a cookie that is not empty.
std::string downloadRequest(const Url& u, std::string_view agent, std::string_view cookie, int64_t resumeFrom);

// The request of a page fetched as text.
std::string pageRequest(const Url& u, std::string_view agent, std::string_view cookie);

}  // namespace net
