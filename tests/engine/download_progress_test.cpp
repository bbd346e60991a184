// The spoken progress of a download: percentages, totals in their largest
// unit, the amount written with at most three significant digits, and the
// user's decimal separator.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/download_progress.h"
#include "platform/base/decimal_point.h"

namespace {

using Said = std::vector<std::string>;

TEST(DownloadProgress, KnownLength) {
  constexpr int64_t kMB = 1024 * 1024;
  const struct {
    int64_t size, announced, offset;
    char separator;
    Said said;
  } cases[] = {
      {350 * kMB, 700 * kMB, 0, ',', {"Recebidos: ", "50% de 700MB.", "350 MegaBytes gravados.", "Arquivo: f.mp3"}},
      {4000, 10000, 0, '.', {"Recebidos: ", "40% de 9KB.", "3.91 KBytes gravados.", "Arquivo: f.mp3"}},
      {4000, 10000, 0, ',', {"Recebidos: ", "40% de 9KB.", "3,91 KBytes gravados.", "Arquivo: f.mp3"}},
      // Resumed: the total counts what the file held before.
      {3000, 2000, 1000, ',', {"Recebidos: ", "100% de 2KB.", "2,93 KBytes gravados.", "Arquivo: f.mp3"}},
      {1, 999, 0, ',', {"Recebidos: ", "0,1% de 999Bytes.", "1 Bytes gravados.", "Arquivo: f.mp3"}},
      // A thousand or more in its unit is said whole, not cut at an exponent.
      {1000, 3000, 0, ',', {"Recebidos: ", "33,3% de 2KB.", "1000 Bytes gravados.", "Arquivo: f.mp3"}},
      {3 * 1024 * kMB, 6 * 1024 * kMB, 0, ',', {"Recebidos: ", "50% de 6GB.", "3 GigaBytes gravados.", "Arquivo: f.mp3"}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(engine::progressReport({c.size, c.announced, c.offset, false, "f.mp3"}, c.separator), c.said) << c.size;
  }
}

TEST(DownloadProgress, Stream) {
  EXPECT_EQ(engine::progressReport({1536, 0, 0, true, "r.mp3"}, ','),
            (Said{"1536 bytes escritos em disco.", "1,5 KBytes gravados.", "Arquivo: r.mp3"}));
}

TEST(DownloadProgress, GeneralNumbers) {
  const struct {
    double value;
    const char* text;
  } cases[] = {{0, "0"},          {0.5, "0,5"},      {1.23456, "1,23"}, {99.96, "100"}, {999.4, "999"},
               {999.6, "1000"},   {1023.4, "1023"},  {1e-7, "0"},       {12.0, "12"},   {0.000123, "0,000123"}};
  for (const auto& c : cases) EXPECT_EQ(platform::generalDecimal(c.value, 3, ','), c.text) << c.value;
}

}  // namespace
