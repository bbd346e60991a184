// Each kept input runs through its fuzz target's entry as a test of its own,
// so that a crash names the input. The sanitizer build catches the memory
// faults and undefined behaviour the fuzzer once found.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "fuzz/entries.h"
#include "support/scratch.h"

namespace {

namespace fs = std::filesystem;

struct KeptInput {
  std::string target;  // the folder's name
  fs::path file;
};

void PrintTo(const KeptInput& input, std::ostream* out) { *out << input.file.string(); }

// Every file one level below a folder of target folders.
std::vector<KeptInput> keptInputs() {
  std::vector<KeptInput> inputs;
  for (const char* root : {ESCUTA_KEPT_INPUTS, ESCUTA_FUZZ_SEEDS}) {
    for (const fs::directory_entry& folder : fs::directory_iterator(root)) {
      if (!folder.is_directory()) continue;
      for (const fs::directory_entry& file : fs::directory_iterator(folder.path()))
        inputs.push_back({folder.path().filename().string(), file.path()});
    }
  }
  std::sort(inputs.begin(), inputs.end(), [](const KeptInput& a, const KeptInput& b) { return a.file < b.file; });
  return inputs;
}

std::string testName(const ::testing::TestParamInfo<KeptInput>& info) {
  std::string name = info.param.target + "_" + info.param.file.filename().string();
  for (char& c : name) {
    if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
  }
  return name + "_" + std::to_string(info.index);
}

class KeptInputs : public ::testing::TestWithParam<KeptInput> {};

TEST_P(KeptInputs, RunCleanly) {
  const fuzz::NamedEntry* entry = fuzz::findEntry(GetParam().target);
  ASSERT_NE(entry, nullptr) << "no fuzz target is named " << GetParam().target;
  entry->run(testsupport::slurp(GetParam().file.string()));
}

INSTANTIATE_TEST_SUITE_P(Fuzz, KeptInputs, ::testing::ValuesIn(keptInputs()), testName);

}  // namespace
