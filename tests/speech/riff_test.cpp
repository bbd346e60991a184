// Reading wave headers: good files in their variety, and lying or truncated
// ones that must be refused without reading past the end.
#include "speech/riff.h"

#include <gtest/gtest.h>

#include "wave_bytes.h"

namespace speech {
namespace {

using speech_test::Bytes;
using speech_test::Chunk;
using speech_test::fmtBody;
using speech_test::riff;

const Bytes kPcm(100, 140);
const Bytes kFmt = fmtBody(1, 1, 11025, 8);

struct Case {
  const char* name;
  Bytes bytes;
  std::optional<platform::WaveFormat> format;  // nothing: refused
  size_t dataSize = 0;                         // bytes of data the image yields
};

Bytes extensible(uint16_t subformat) {
  Bytes b = fmtBody(0xFFFE, 2, 22050, 16, 40);
  b[16] = 22;  // extra bytes
  b[24] = static_cast<uint8_t>(subformat);
  return b;
}

std::vector<Case> cases() {
  const platform::WaveFormat mono8{11025, 1, 8};
  Bytes truncatedFmt = riff({{"fmt ", kFmt}, {"data", kPcm}});
  truncatedFmt.resize(12 + 8 + 10);
  Bytes justRiff = riff({});
  justRiff.resize(12);
  return {
      {"plain", riff({{"fmt ", kFmt}, {"data", kPcm}}), mono8, 100},
      {"16-bit stereo", riff({{"fmt ", fmtBody(1, 2, 44100, 16)}, {"data", kPcm}}), platform::WaveFormat{44100, 2, 16}, 100},
      {"tags in any case", riff({{"FMT ", kFmt}, {"Data", kPcm}}, "riff"), mono8, 100},
      {"format chunk with extra bytes", riff({{"fmt ", fmtBody(1, 1, 11025, 8, 18)}, {"data", kPcm}}), mono8, 100},
      {"chunk between format and data", riff({{"fmt ", kFmt}, {"LIST", Bytes(30, 'x')}, {"data", kPcm}}), mono8, 100},
      {"chunk before the format", riff({{"JUNK", Bytes(28, 0)}, {"fmt ", kFmt}, {"data", kPcm}}), mono8, 100},
      {"odd chunk with its pad", riff({{"fmt ", kFmt}, {"note", Bytes(7, 'n')}, {"data", kPcm}}), mono8, 100},
      {"odd chunk without its pad", riff({{"fmt ", kFmt}, {"note", Bytes(7, 'n'), {}, false}, {"data", kPcm}}), mono8, 100},
      {"extensible PCM", riff({{"fmt ", extensible(1)}, {"data", kPcm}}), platform::WaveFormat{22050, 2, 16}, 100},
      {"no data bytes", riff({{"fmt ", kFmt}, {"data", {}}}), mono8, 0},
      {"data size beyond the end", riff({{"fmt ", kFmt}, {"data", Bytes(10, 140), 5000}}), mono8, 10},
      {"format chunk of 8192 bytes", riff({{"fmt ", fmtBody(1, 1, 11025, 8, 8192)}, {"data", kPcm}}), mono8, 100},

      {"not RIFF", riff({{"fmt ", kFmt}, {"data", kPcm}}, "RIFX"), std::nullopt},
      {"only the RIFF header", justRiff, std::nullopt},
      {"empty", Bytes{}, std::nullopt},
      {"format chunk cut short", truncatedFmt, std::nullopt},
      {"format chunk under 16 bytes", riff({{"fmt ", fmtBody(1, 1, 11025, 8, 14)}, {"data", kPcm}}), std::nullopt},
      {"format chunk over 8192 bytes", riff({{"fmt ", fmtBody(1, 1, 11025, 8, 8194)}, {"data", kPcm}}), std::nullopt},
      {"format chunk claiming more than there is", riff({{"fmt ", kFmt, 4000}}), std::nullopt},
      {"no data chunk", riff({{"fmt ", kFmt}}), std::nullopt},
      {"data before the format", riff({{"data", kPcm}, {"fmt ", kFmt}}), std::nullopt},
      {"chunk size past the end", riff({{"fmt ", kFmt}, {"LIST", Bytes(4, 0), 0xFFFFFFF0}, {"data", kPcm}}), std::nullopt},
      {"floating point", riff({{"fmt ", fmtBody(3, 1, 11025, 32)}, {"data", kPcm}}), std::nullopt},
      {"mu-law", riff({{"fmt ", fmtBody(7, 1, 8000, 8)}, {"data", kPcm}}), std::nullopt},
      {"ADPCM", riff({{"fmt ", fmtBody(2, 1, 11025, 4)}, {"data", kPcm}}), std::nullopt},
      {"extensible floating point", riff({{"fmt ", extensible(3)}, {"data", kPcm}}), std::nullopt},
      {"24-bit PCM", riff({{"fmt ", fmtBody(1, 1, 44100, 24)}, {"data", kPcm}}), std::nullopt},
      {"no channels", riff({{"fmt ", fmtBody(1, 0, 11025, 8)}, {"data", kPcm}}), std::nullopt},
      {"three channels", riff({{"fmt ", fmtBody(1, 3, 11025, 8)}, {"data", kPcm}}), std::nullopt},
      {"rate zero", riff({{"fmt ", fmtBody(1, 1, 0, 8)}, {"data", kPcm}}), std::nullopt},
  };
}

TEST(WaveImage, ParsesGoodHeadersAndRefusesBadOnes) {
  for (const Case& c : cases()) {
    SCOPED_TRACE(c.name);
    const std::optional<WaveImage> image = parseWaveImage(c.bytes);
    ASSERT_EQ(image.has_value(), c.format.has_value());
    if (!image) continue;
    EXPECT_EQ(image->format, *c.format);
    EXPECT_EQ(image->data.size(), c.dataSize);
    // The data chunk comes last: its bytes end the image.
    EXPECT_EQ(image->data.data() + image->data.size(), c.bytes.data() + c.bytes.size());
  }
}

}  // namespace
}  // namespace speech
