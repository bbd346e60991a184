// The manual of the script language names every keyword the engine knows, so
// a command added to a library's table without a word in the manual fails.
#include <gtest/gtest.h>

#include <string>

#include "engine/registry.h"
#include "platform/base/codepage.h"
#include "support/scratch.h"

namespace {

TEST(ScriptLanguagePage, NamesEveryKeyword) {
  const std::string page = testsupport::slurp(LANGUAGE_PAGE);
  ASSERT_FALSE(page.empty()) << LANGUAGE_PAGE;
  for (const engine::Entry& entry : engine::commandTable()) {
    bool named = false;
    for (std::string_view form : entry.forms) {
      if (!form.empty()) named = named || page.find("*" + platform::cp1252ToUtf8(form) + "*") != std::string::npos;
    }
    EXPECT_TRUE(named) << platform::cp1252ToUtf8(entry.forms[0]) << " is not in " << LANGUAGE_PAGE;
  }
}

}  // namespace
