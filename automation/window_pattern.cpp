#include "automation/window_pattern.h"

namespace automation {

bool titleMatches(std::string_view pattern, std::string_view title) {
  const bool leading = pattern.starts_with('*');
  if (leading) pattern.remove_prefix(1);
  const bool trailing = pattern.ends_with('*');
  if (trailing) pattern.remove_suffix(1);
  if (leading && trailing) return title == pattern;
  if (leading) return title.starts_with(pattern);
  if (trailing) return title.ends_with(pattern);
  return title.find(pattern) != std::string_view::npos;
}

}  // namespace automation
