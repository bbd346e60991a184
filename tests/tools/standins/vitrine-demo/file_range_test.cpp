#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

#include "file_answers.h"

namespace {

TEST(VitrineFileAnswers, RangesAsADownloadResumesThem) {
  const std::string file = (std::filesystem::temp_directory_path() / ("vitrine-range-" + std::to_string(::getpid()))).string();
  std::ofstream(file, std::ios::binary) << "0123456789";
  struct Case {
    const char* range;  // none: no Range header
    int status;
    std::string body, contentRange;
  };
  const Case cases[] = {
      {nullptr, 200, "0123456789", ""},
      {"bytes=4-", 206, "456789", "bytes 4-9/10"},
      {"bytes=0-", 206, "0123456789", "bytes 0-9/10"},
      {"bytes=2-4", 206, "234", "bytes 2-4/10"},
      {"bytes=8-99", 206, "89", "bytes 8-9/10"},
      {"bytes=-3", 206, "789", "bytes 7-9/10"},
      {"bytes=-30", 206, "0123456789", "bytes 0-9/10"},
      {"bytes=10-", 416, "", "bytes */10"},
      {"bytes=-0", 416, "", "bytes */10"},
      {"bytes=5-2", 200, "0123456789", ""},   // not a range: the whole file
      {"bytes=1-2,4-5", 200, "0123456789", ""},
      {"items=1-2", 200, "0123456789", ""},
  };
  for (const Case& c : cases) {
    const std::string head = std::string("GET /f HTTP/1.1\r\n") + (c.range ? std::string("Range: ") + c.range + "\r\n" : "") + "\r\n";
    const auto parsed = vitrine::parseRequest(head, {});
    const vitrine::Response r = vitrine::fileResponse(file, "audio/ogg", parsed.request);
    EXPECT_EQ(r.status, c.status) << (c.range ? c.range : "none");
    if (c.status != 416) {
      EXPECT_EQ(r.body, c.body) << (c.range ? c.range : "none");
    }
    std::string contentRange;
    for (const auto& [n, v] : r.headers)
      if (n == "Content-Range") contentRange = v;
    EXPECT_EQ(contentRange, c.contentRange) << (c.range ? c.range : "none");
  }
  EXPECT_EQ(vitrine::fileResponse(file + ".nada", "audio/ogg", {}).status, 404);
  EXPECT_EQ(vitrine::fileResponse(std::filesystem::temp_directory_path().string(), "audio/ogg", {}).status, 404);
  std::filesystem::remove(file);
}

TEST(VitrineFileAnswers, OnlyPlainNamesOfTheFolder) {
  for (const char* bad : {"", ".", "..", ".oculto", "a/b", "../x", "a\\b"}) EXPECT_FALSE(vitrine::isPlainFileName(bad)) << bad;
  EXPECT_TRUE(vitrine::isPlainFileName("telinha-3.1-update.7z"));
  EXPECT_EQ(vitrine::contentTypeFor("telinha_version.txt"), "text/plain; charset=utf-8");
  EXPECT_EQ(vitrine::contentTypeFor("x.7z"), "application/x-7z-compressed");
  EXPECT_EQ(vitrine::contentTypeFor("x.bin"), "application/octet-stream");
}

}  // namespace
