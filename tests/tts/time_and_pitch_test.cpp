#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#include "test_files.h"
#include "tts/time_and_pitch.h"

namespace {

using tts_test::cp;
using tts_test::joined;

tts::ProsodyConfig sampleProsody() {
  tts::ProsodyConfig config;
  config.durations = {{"a", 80}, {"k", 90}, {"s", 100}, {"__", 400}, {"_,", 200}};
  config.baseHertz = 200;
  config.pitchPercent = {60, 70, 80, 90, 95, 100, 105, 110, 120, 130};
  return config;
}

tts::DiphoneList listOf(std::initializer_list<const char*> pairs) {
  tts::DiphoneList list;
  for (const char* p : pairs) list.names.push_back(p);
  std::sort(list.names.begin(), list.names.end());
  return list;
}

// Every pair of the sample's phonemes, so that nothing is bridged.
tts::DiphoneList everyPair() {
  tts::DiphoneList list;
  for (const char* a : {"_", "A", "K", "S", "T", "Y"})
    for (const char* b : {"_", "A", "K", "S", "T", "Y"}) list.names.push_back(std::string(a) + "-" + b);
  std::sort(list.names.begin(), list.names.end());
  return list;
}

TEST(TimeAndPitch, TimesAndPitchesAWord) {
  // "casa" with code 581: start 50 % at 100 % of 200, stress 80 % at 120 %,
  // end 50 % at 70 %; the stressed "a" lasts 80 x 145 / 100 = 116 ms, and
  // so does what follows until a duration reset or the word's end.
  const tts::PhonemeLines lines = {";581|casa", "k", ">a", "s", "a", "", ";581|casa", "k", ">a", "\xA8s", "a", ""};
  EXPECT_EQ(joined(tts::timeAndPitch(lines, sampleProsody(), everyPair(), 1.0, 1.0)),
            ";casa/k 90 50 200/a 116 80 240/s 145/a 116 50 140//"
            ";casa/k 90 50 200/a 116 80 240/s 100/a 80 50 140//");
}

TEST(TimeAndPitch, AppliesTheSpeechSettingsFactors) {
  const struct {
    int pitch, speed;
    const char* out;
  } cases[] = {
      {0, 3, ";casa/k 54 50 200/a 69 80 240/s 60/a 48 50 140//"},   // 0.6 of each duration
      {11, 0, ";casa/k 72 50 400/a 92 80 480/s 80/a 64 50 280//"},  // pitch doubled
      {-11, 0, ";casa/k 72/a 92/s 80/a 64//"},                      // no pitch: no points
  };
  for (const auto& c : cases) {
    const tts::PhonemeLines lines = {";581|casa", "k", ">a", "\xA8s", "a", ""};
    EXPECT_EQ(joined(tts::timeAndPitch(lines, sampleProsody(), everyPair(), tts::pitchFactorOf(c.pitch),
                                       tts::durationFactorOf(c.speed))),
              c.out)
        << c.pitch << " " << c.speed;
  }
}

TEST(TimeAndPitch, ShortensLongWordsBeforeTheirStressOnly) {
  const struct {
    const char* word;
    const char* out;
  } cases[] = {
      {"casacasacasaca", "k 72 50 200/a 64/s 145 80 240/a 80 50 140/"},  // 14 letters: 80 %
      {"casacasacasac", "k 72 50 200/a 64/s 145 80 240/a 80 50 140/"},   // 13: the marker ";" counts
      {"casacasaca", "k 81 50 200/a 72/s 145 80 240/a 80 50 140/"},      // 10 letters: 90 %
      {"casacasac", "k 81 50 200/a 72/s 145 80 240/a 80 50 140/"},
      {"casacasa", "k 90 50 200/a 80/s 145 80 240/a 80 50 140/"},        // 8 letters: kept
  };
  for (const auto& c : cases) {
    const tts::PhonemeLines lines = {std::string(";581|") + c.word, "k", "a", ">s", "\xA8" "a", ""};
    EXPECT_EQ(joined(tts::timeAndPitch(lines, sampleProsody(), everyPair(), 1.0, 1.0)),
              std::string(";") + c.word + "/" + c.out + "/")
        << c.word;
  }
}

TEST(TimeAndPitch, ReadsPausesAndDurationResets) {
  const tts::PhonemeLines lines = {";556|,", "_,", ";555|", "__", "", ";555|t", "_", "_ 30", "\xA8" "a", ">\xA8t"};
  tts::ProsodyConfig config = sampleProsody();
  config.pitchPercent = {};  // no table: no points at all
  EXPECT_EQ(joined(tts::timeAndPitch(lines, config, everyPair(), 1.0, 1.0)),
            ";,/_ 200/;/_ 400//;t/_ 100/_ 30/a 80/t 145/");
}

TEST(TimeAndPitch, LeavesNoPointForACodeCharacterThatIsNoDigit) {
  const tts::PhonemeLines lines = {";x8x|ka", "k", ">a"};
  EXPECT_EQ(joined(tts::timeAndPitch(lines, sampleProsody(), everyPair(), 1.0, 1.0)), ";ka/k 90/a 116 80 240/");
}

TEST(BridgeMissingDiphone, BridgesAsThePairsAllow) {
  const struct {
    const char* previous;
    const char* current;
    tts::DiphoneList list;
    const char* bridge;  // "" for none
  } cases[] = {
      {"a", "k", listOf({"A-K"}), ""},
      {"A", "k", listOf({"A-K"}), ""},                  // names compared without case
      {"r2", "k", listOf({"R2-_", "R2-Y"}), "_ 50"},   // after r2 with r2-_ listed
      {"r2", "k", listOf({"R2-Y"}), "y 50"},
      {"a", "k", listOf({"A-Y"}), "y 50"},
      {"a", "k", listOf({}), "_ 50"},
  };
  for (const auto& c : cases) {
    std::string previous = c.previous;
    tts::PhonemeLines out;
    tts::bridgeMissingDiphone(c.list, previous, c.current, out);
    EXPECT_EQ(joined(out), *c.bridge ? std::string(c.bridge) + "/" : "") << c.previous << "-" << c.current;
    EXPECT_EQ(previous, c.current);
  }
}

TEST(TimeAndPitch, BridgesMissingPairsButNotAcrossWordMarkers) {
  // "_-k" and "k-a" are there, "a-s" is not: "a" then s bridged by "y 50".
  // The word's end and the next marker leave the previous phoneme alone.
  const tts::DiphoneList list = listOf({"_-K", "K-A", "A-Y", "S-_", "A-A"});
  const tts::PhonemeLines lines = {";555|kas", "k", "a", "s", "", ";555|", "_"};
  tts::ProsodyConfig config = sampleProsody();
  config.pitchPercent = {};
  EXPECT_EQ(joined(tts::timeAndPitch(lines, config, list, 1.0, 1.0)), ";kas/k 90/a 80/y 50/s 100//;/_ 100/");
}

TEST(LoadDiphoneList, KeepsTheFirstTwoNamesOfEachLine) {
  tts::DiphoneList list;
  tts::DataProblems problems;
  ASSERT_TRUE(tts::loadDiphoneList(tts_test::writeTempFile("voice.dfn", cp("; comentário\n! outro\n* mais\n\n"
                                                                           "  r2-_  \n"
                                                                           "a k 120 40\n"
                                                                           "eh-@\tfim\n"
                                                                           "-x\n")),
                                   list, &problems));
  EXPECT_EQ(joined(list.names), "A-K/EH-@/R2-_/");
  ASSERT_EQ(problems.size(), 1u);  // "-x" has no first name
  EXPECT_EQ(problems[0].line, 8u);
  EXPECT_TRUE(tts::hasDiphone(list, "Eh", "@"));
  EXPECT_FALSE(tts::hasDiphone(list, "k", "a"));
  EXPECT_FALSE(tts::loadDiphoneList("/nonexistent/voice.dfn", list));
}

TEST(TimeAndPitch, StagedVoiceSpeaksAQuestionRisingAndAStatementFalling) {
  // The staged data's codes: a question's last word ends high, a statement's low.
  tts::DiphoneList diphones;
  ASSERT_TRUE(tts::loadDiphoneList(std::string(tts::kDefaultDataDir) + "portug.dfn", diphones));
  auto lastPitch = [&](std::string_view text) {
    const tts::FrontEndResult r = tts::textToPhonemeLines(cp(text), tts_test::stagedVoice());
    const tts::PhonemeLines timed = tts::timeAndPitch(r.lines, tts_test::stagedVoice().prosody, diphones, 1.0, 1.0);
    int last = 0;
    for (const std::string& line : timed) {
      int pos = 0, hz = 0, ms = 0;
      char name[4];
      if (std::sscanf(line.c_str(), "%3s %d %d %d", name, &ms, &pos, &hz) == 4 && name[0] != '_') last = hz;
    }
    return last;
  };
  EXPECT_GT(lastPitch("A casa é amarela?"), lastPitch("A casa é amarela."));
}

}  // namespace
