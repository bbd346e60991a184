// Text encodings: the byte rules as tables, then the commands in a running
// engine (in place on variables, and whole files).
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "engine/api.h"
#include "engine/encodings.h"
#include "engine/interp.h"
#include "engine/recording_reporter.h"
#include "engine/variables.h"
#include "platform/base/codepage.h"
#include "support/scratch.h"

namespace {

using engine::letterCode;

struct Case {
  std::string in, out;
};

TEST(Base64, EncodesAndDecodesTheTables) {
  const Case encode[] = {{"abc", "YWJj"}, {"ab", "YWI="}, {"a", "YQ=="}, {"", ""},
                         {"\xFF\xFE\xFD", "//79"}, {"Man is", "TWFuIGlz"}};
  for (const auto& c : encode) {
    EXPECT_EQ(engine::base64Encode(c.in), c.out) << c.in;
    EXPECT_EQ(engine::base64Decode(c.out), c.in) << c.out;
  }
  const Case lenient[] = {{"YW Jj", "abc"},      {"YWI=YWJj", "ab"}, {"YW\r\nJj", "abc"},
                          {"Y", ""},             {"YWJ", "ab"},      {"*Y.W-J!j", "abc"},
                          {"=YWJj", ""}};
  for (const auto& c : lenient) EXPECT_EQ(engine::base64Decode(c.in), c.out) << c.in;
}

TEST(Base64, DecodesInPiecesAsWhole) {
  const std::string text = "SGVsbG8s IHdvcmxk IQ==trailing";
  engine::Base64Decoder d;
  std::string out;
  for (const char ch : text) d.feed(std::string_view(&ch, 1), out);
  d.finish(out);
  EXPECT_EQ(out, "Hello, world!");
}

TEST(Base64, LinesHoldSixtyFourCharacters) {
  const struct {
    size_t bytes;
    std::string lastLine;
    size_t lines;
  } cases[] = {{0, "", 0}, {48, "", 1}, {49, "YQ==", 2}, {50, "YWE=", 2}, {96, "", 2}, {1, "YQ==", 1}};
  for (const auto& c : cases) {
    engine::Base64Lines lines;
    std::string out;
    const std::string bytes(c.bytes, 'a');
    // Fed unevenly, as blocks of a file come.
    for (size_t i = 0; i < bytes.size(); i += 7) lines.feed(std::string_view(bytes).substr(i, 7), out);
    lines.finish(out);
    size_t count = 0, pos = 0, start = 0;
    std::string last;
    while ((pos = out.find("\r\n", start)) != std::string::npos) {
      last = out.substr(start, pos - start);
      EXPECT_TRUE(last.size() == 64 || start + last.size() + 2 == out.size()) << c.bytes;
      ++count;
      start = pos + 2;
    }
    EXPECT_EQ(start, out.size());
    EXPECT_EQ(count, c.lines) << c.bytes;
    if (!c.lastLine.empty()) {
      EXPECT_EQ(last, c.lastLine) << c.bytes;
    }
    std::string joined;
    for (const char ch : out) {
      if (ch != '\r' && ch != '\n') joined += ch;
    }
    EXPECT_EQ(joined, engine::base64Encode(bytes));
  }
}

TEST(QuotedPrintable, EncodesAndDecodesTheTables) {
  const Case encode[] = {{"\xE9", "=E9"}, {"a=b", "a=3Db"}, {"a b\r\n", "a b=0D=0A"}, {"\x7F~", "=7F~"}, {"", ""}};
  for (const auto& c : encode) {
    EXPECT_EQ(engine::quotedEncode(c.in), c.out) << c.in;
    EXPECT_EQ(engine::quotedDecode(c.out), c.in) << c.out;
  }
  const Case decode[] = {{"=e9", "\xE9"}, {"=G1", "=G1"}, {"abc=", "abc"}, {"=4", "=4"},
                         {"=4=", "=4"},   {"==41", "=A"}, {"=", ""},       {"a=\r\nb", "a=\r\nb"}};
  for (const auto& c : decode) EXPECT_EQ(engine::quotedDecode(c.in), c.out) << c.in;
}

TEST(Utf8ToAnsi, TakesTwoByteSequencesOnly) {
  const Case cases[] = {
      {"\xC3\xA7", "\xE7"},                 // ç
      {"\xE2\x82\xAC", "\xE2\x82\xAC"},     // € left as three bytes
      {"a\xC3", "a\xE0"},                   // a final lead byte meets a space
      {"\xC2\xA0x", "\xA0x"},
      {"plain", "plain"},
  };
  for (const auto& c : cases) EXPECT_EQ(engine::utf8TwoByteToAnsi(c.in), c.out) << c.in;
  for (int b = 0xC0; b <= 0xFF; ++b) {
    const std::string letter(1, static_cast<char>(b));
    EXPECT_EQ(engine::utf8TwoByteToAnsi(platform::cp1252ToUtf8(letter)), letter) << b;
  }
}

// The commands, in a running engine.
class EncodingCommands : public ::testing::Test {
 protected:
  bool run(const std::string& line) { return engine::runCommandLine(in_, line, false).ok(); }
  const std::string& variable(int code) const { return engine::variable(in_, code); }
  testsupport::RecordingReporter reporter_;
  engine::Interp in_{reporter_};
  testsupport::ScratchDir dir_;
};

TEST_F(EncodingCommands, ConvertVariablesInPlace) {
  const struct {
    const char* command;
    std::string before, after;
  } cases[] = {
      {"CODBASE64", "abc", "YWJj"},     {"DECODBASE64", "YWI=YWJj", "ab"}, {"ADQUOTED", "a=b", "a=3Db"},
      {"REMOVEQUOTED", "=e9=", "\xE9"}, {"UTF8PARAANSI", "\xC3\xA7", "\xE7"},
      {"ANSIPARAUTF8", "\xE7\x80", "\xC3\xA7\xE2\x82\xAC"}, {"CODBASE64", "", ""},
      {"HTTP", "a b/c", "a%20b%2Fc"},
  };
  for (const auto& c : cases) {
    ASSERT_TRUE(engine::setVariable(in_, letterCode('A'), c.before).ok());
    EXPECT_TRUE(run(std::string(c.command) + " A")) << c.command;
    EXPECT_EQ(variable(letterCode('A')), c.after) << c.command;
    const int named = engine::enterName(in_, "TEXTO");
    ASSERT_TRUE(engine::setVariable(in_, named, c.before).ok());
    EXPECT_TRUE(run(std::string(c.command) + " $texto resto ignorado")) << c.command;
    EXPECT_EQ(variable(named), c.after) << c.command;
  }
}

TEST_F(EncodingCommands, RefuseWhatIsNotAVariable) {
  for (const char* line : {"CODBASE64 \"abc\"", "DECODBASE64 (A)", "ADQUOTED 12", "HTTP \"a b\"", "UTF8PARAANSI", "ANSIPARAUTF8 \""}) {
    EXPECT_FALSE(run(line)) << line;
  }
}

TEST_F(EncodingCommands, FilesRoundTripEveryByte) {
  std::string bytes;
  for (int i = 0; i < 5000; ++i) bytes += static_cast<char>(i * 7 % 256);
  const std::string src = dir_ / "src.bin", b64 = dir_ / "b64.txt", back = dir_ / "back.bin";
  std::ofstream(src, std::ios::binary) << bytes;
  ASSERT_TRUE(run("CODARQBASE64 \"" + src + "\" \"" + b64 + "\""));
  const std::string text = testsupport::slurp(b64);
  EXPECT_EQ(text.substr(0, 66), engine::base64Encode(bytes.substr(0, 48)) + "\r\n");
  EXPECT_EQ(text.size(), (bytes.size() + 2) / 3 * 4 + 2 * ((bytes.size() + 47) / 48));
  ASSERT_TRUE(run("DECODARQBASE64 \"" + b64 + "\" \"" + back + "\""));
  EXPECT_EQ(testsupport::slurp(back), bytes);
}

TEST_F(EncodingCommands, FileLayoutAndFailures) {
  const std::string src = dir_ / "a.bin", out = dir_ / "a.txt";
  std::ofstream(src, std::ios::binary) << std::string(49, 'a');
  ASSERT_TRUE(run("CODARQBASE64 \"" + src + "\" \"" + out + "\""));
  EXPECT_EQ(testsupport::slurp(out), engine::base64Encode(std::string(48, 'a')) + "\r\nYQ==\r\n");
  std::ofstream(src, std::ios::binary) << "";
  ASSERT_TRUE(run("CODARQBASE64 \"" + src + "\" \"" + out + "\""));
  EXPECT_EQ(testsupport::slurp(out), "");
  std::ofstream(src, std::ios::binary) << "YW\r\nJj\r\nYQ==YWJj";
  ASSERT_TRUE(run("DECODARQBASE64 \"" + src + "\" \"" + out + "\""));
  EXPECT_EQ(testsupport::slurp(out), "abca");

  const std::string missing = dir_ / "missing", noDir = dir_ / "no/such/dir";
  for (const std::string& line : {"CODARQBASE64 \"" + missing + "\" \"" + out + "\"",
                                  "DECODARQBASE64 \"" + missing + "\" \"" + out + "\"",
                                  "CODARQBASE64 \"" + src + "\" \"" + noDir + "\"",
                                  "DECODARQBASE64 \"" + src + "\" \"" + noDir + "\"",
                                  "CODARQBASE64 \"" + src + "\"", std::string("DECODARQBASE64")}) {
    EXPECT_FALSE(run(line)) << line;
  }
}

}  // namespace
