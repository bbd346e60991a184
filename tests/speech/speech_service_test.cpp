// The speech service end to end: speak_probe runs headless with the voice data
// the build generated, and what it played is read from its transcript.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "speech/number_pieces.h"
#include "support/scratch.h"
#include "wave_bytes.h"

namespace {

struct Outcome {
  int status;
  std::string output;
  std::vector<std::string> events;  // "SAY text", "PLAY _zero", "CLICK" ...
};

class SpeechService : public ::testing::Test {
 protected:
  void SetUp() override { std::ofstream(scratch_ / "Escuta.ini") << ini_; }

  // `audio` names a recording of what was played, when given.
  Outcome run(const std::vector<std::string>& actions, const std::string& keys = "", const std::string& audio = "") {
    std::ofstream(scratch_ / "keys.txt") << keys;
    std::string cmd = "ESCUTA_CONFIG_DIR=" + scratch_.path() + " ESCUTA_POWER_SUPPLY=" + (scratch_ / "power") + " " +
                      SPEAK_PROBE + " --frontend headless --clock-speed 10 --keys " + (scratch_ / "keys.txt") + " --transcript " +
                      (scratch_ / "t.txt") + (audio.empty() ? "" : " --audio-out " + audio) + " --";
    for (const std::string& a : actions) cmd += " '" + a + "'";
    cmd += " >" + (scratch_ / "out.txt") + " 2>&1";
    const int raw = std::system(cmd.c_str());
    Outcome o{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, testsupport::slurp(scratch_ / "out.txt"), {}};
    std::istringstream lines(testsupport::slurp(scratch_ / "t.txt"));
    for (std::string line; std::getline(lines, line);) {
      const size_t tab = line.find('\t');
      std::string name = line.substr(0, tab), text = tab == std::string::npos ? "" : line.substr(tab + 1);
      if (name == "PLAY") {  // the piece's own name is what matters
        text = text.substr(text.find_last_of("\\/") + 1);
        text = text.substr(0, text.rfind(".wav"));
      }
      if (name == "SHOW" || name == "KEY") continue;
      o.events.push_back(text.empty() ? name : name + " " + text);
    }
    return o;
  }

  std::string ini_ = "[ESCUTA]\nFALARTUDO=Sim\n";
  testsupport::ScratchDir scratch_;
};

using Events = std::vector<std::string>;

TEST_F(SpeechService, NumbersSymbolsAndRunsOnTheRecordedPath) {
  struct Case {
    const char* text;
    Events events;
  } cases[] = {
      {"007", {"SAY 007", "PLAY _zero", "PLAY _zero", "PLAY _sete"}},
      {"123456", {"SAY 123456", "PLAY _cento", "PLAY _e", "PLAY _vinte", "PLAY _e", "PLAY _tres", "PLAY _mil",
                  "PLAY _e", "PLAY _quatroc", "PLAY _e", "PLAY _cinquen", "PLAY _e", "PLAY _seis"}},
      {"1234567", {"SAY 1234567", "SPELL 1234567", "PLAY _49", "PLAY _50", "PLAY _51", "PLAY _52", "PLAY _53",
                   "PLAY _54", "PLAY _55"}},
      {"12-34", {"SAY 12-34", "SPELL 12-34", "PLAY _49", "PLAY _50", "PLAY _45", "PLAY _51", "PLAY _52"}},
      {"-5", {"SAY -5", "PLAY _MENOS", "PLAY _cinco"}},
      {"17", {"SAY 17", "PLAY _dezeset"}},
      {"*****", {"SAY *****", "PLAY _42", "PLAY _42", "PLAY _42", "PLAY _42", "CLICK"}},
      {"\t", {"SAY \\t", "PLAY _FON9"}},
      {"://", {"SAY ://", "SPELL :", "PLAY _58", "PLAY _47", "PLAY _47"}},
  };
  for (const Case& c : cases) {
    const Outcome o = run({std::string("say:") + c.text});
    EXPECT_EQ(o.status, 0) << o.output;
    EXPECT_EQ(o.events, c.events) << c.text;
  }
}

TEST_F(SpeechService, PunctuationIsSaidByNameAndHyphensJoinWords) {
  const Outcome dash = run({"say:a - b"});
  EXPECT_NE(std::find(dash.events.begin(), dash.events.end(), "PLAY _45"), dash.events.end());
  const Outcome joined = run({"say:guarda-chuva"});
  EXPECT_EQ(std::find(joined.events.begin(), joined.events.end(), "PLAY _45"), joined.events.end());
  const Outcome www = run({"say:www."});
  EXPECT_EQ(www.events, (Events{"SAY www.", "SPELL www", "PLAY _119", "PLAY _119", "PLAY _119", "PLAY _46"}));
}

TEST_F(SpeechService, TimeAndDateFromPieces) {
  struct Case {
    const char* action;
    const char* ini;
    Events events;
  } cases[] = {
      {"time:21:00", "FALARTUDO=Sim", {"PLAY _vinte", "PLAY _e", "PLAY _uma", "PLAY _horas"}},
      {"time:1:00", "FALARTUDO=Sim", {"PLAY _uma", "PLAY _hora"}},
      {"time:13:05", "FALARTUDO=Nao", {"PLAY _treze", "PLAY _EHORA", "PLAY _cinco"}},
      {"time:13:05", "FALARTUDO=Sim", {"PLAY _treze", "PLAY _horas", "PLAY _cinco", "PLAY _minutos"}},
      {"date:1/2/2026", "FALARTUDO=Sim", {"PLAY _Domingo", "PLAY _primeir", "PLAY _de", "PLAY _Feverei", "PLAY _de",
                                          "PLAY _dois", "PLAY _mil", "PLAY _e", "PLAY _vinte", "PLAY _e", "PLAY _seis"}},
  };
  for (const Case& c : cases) {
    ini_ = std::string("[ESCUTA]\n") + c.ini + "\n";
    SetUp();
    EXPECT_EQ(run({c.action}).events, c.events) << c.action << " " << c.ini;
  }
}

TEST_F(SpeechService, AKeyStopsALongTextAndStaysQueued) {
  const std::string longText(400, 'a');
  const Outcome o = run({"say:" + std::string("ele disse ") + longText, "echo"}, "wait 300\nkey x\n");
  EXPECT_EQ(o.status, 0) << o.output;
  EXPECT_NE(o.output.find("echo 120"), std::string::npos) << o.output;
}

TEST_F(SpeechService, DialStringsPlayRealTouchTones) {
  EXPECT_EQ(run({"dial:1*#,x0"}).events, (Events{"PLAY dtmf_1", "PLAY dtmf_X", "PLAY dtmf_#", "PLAY dtmf_0"}));
}

TEST_F(SpeechService, AMissingLetterFilePlaysTheUnknownPiece) {
  EXPECT_EQ(run({"char:127", "char:7", "char:0"}).events, (Events{"PLAY _unknown", "PLAY _unknown"}));
}

TEST_F(SpeechService, AMissingVoiceIsReportedAndEndsTheProgramAfterEnter) {
  ini_ += "[TRADUTOR]\nDIRDIFONES=c:\\nao\\existe\n";
  SetUp();
  const Outcome o = run({"say:nunca"}, "key Enter\n");
  EXPECT_EQ(o.status, 1);
  const std::string screen = testsupport::slurp(scratch_ / "t.txt");
  EXPECT_NE(screen.find("SHOW\tErro de inicializa\xC3\xA7\xC3\xA3o: 1"), std::string::npos) << screen;
  EXPECT_NE(screen.find("SHOW\tBanco de dados de voz: DIFONES2"), std::string::npos) << screen;
  EXPECT_EQ(screen.find("SAY"), std::string::npos);
}

TEST_F(SpeechService, AFreshInstallNamesTheLetterFilesButAUsersValueStays) {
  run({"char:65"});
  EXPECT_NE(testsupport::slurp(scratch_ / "Escuta.ini").find("dirLetras=c:\\audiwin\\som\\letras"), std::string::npos);
  ini_ = "[TRADUTOR]\ndirLetras=C:\\AudiWin\\Som\\Letras\\\n";
  SetUp();
  EXPECT_EQ(run({"char:65"}).events, (Events{"PLAY _65"}));
  EXPECT_TRUE(testsupport::slurp(scratch_ / "Escuta.ini")
                  .starts_with(ini_ + "[ESCUTA]\nBIPSCLECSCURTOS=NAO\nFALANDO=Sim\nFALARTUDO=Sim\nECOAROPCAO=Sim\n"));
}

// Samples from the first to the last one away from silence.
size_t spokenLength(const std::string& recording) {
  const speech_test::Bytes data = speech_test::readRecording(recording).data;
  const auto loud = [](uint8_t b) { return b < 120 || b > 136; };
  const auto first = std::find_if(data.begin(), data.end(), loud);
  const auto last = std::find_if(data.rbegin(), data.rend(), loud).base();
  return first < last ? static_cast<size_t>(last - first) : 0;
}

TEST_F(SpeechService, AFreshInstallGetsFiveSpeedsThatDiffer) {
  const std::string sentence = "say:o mercado abre cedo e fecha depois das seis";
  std::map<int, size_t> length;
  for (const int speed : {1, 3, 5}) {
    const std::string audio = scratch_ / ("speed" + std::to_string(speed) + ".wav");
    run({"speed:" + std::to_string(speed), sentence}, "", audio);
    length[speed] = spokenLength(audio);
  }
  EXPECT_GT(length[1], length[3]);
  EXPECT_GT(length[3], length[5]);
  EXPECT_GE(length[1], 2 * length[5]);
  const std::string ini = testsupport::slurp(scratch_ / "Escuta.ini");
  for (const char* key : {"INTERPAL1=1400", "CORTEFON3=0", "CORTEFON4=500", "CORTAFALA5=Sim", "PAUSAPONTO5=120"})
    EXPECT_NE(ini.find(key), std::string::npos) << key << "\n" << ini;
}

TEST_F(SpeechService, AUsersSpeedKeysStayAndTheirSpeedGetsNoDefaults) {
  ini_ = "[SINTETIZADOR]\nPAUSAPONTO3=0\nINTERPAL5=\n";
  SetUp();
  run({"char:65"});
  const std::string ini = testsupport::slurp(scratch_ / "Escuta.ini");
  EXPECT_NE(ini.find("PAUSAPONTO3=0"), std::string::npos) << ini;
  EXPECT_EQ(ini.find("CORTEFON3"), std::string::npos) << ini;  // speed 3 is the user's own
  EXPECT_NE(ini.find("CORTAFALA5=Sim"), std::string::npos) << ini;  // an empty key is no key
  EXPECT_NE(ini.find("INTERPAL1=1400"), std::string::npos) << ini;
}

TEST_F(SpeechService, TextOfEveryByteIsSpokenOrSkipped) {
  // Letter files of a few samples each, so that the run takes seconds.
  const std::string letters = scratch_ / "letras";
  std::filesystem::create_directories(letters);
  const std::string tiny("RIFF\x2E\0\0\0WAVEfmt \x10\0\0\0\x01\0\x01\0\x11\x2B\0\0\x11\x2B\0\0\x01\0\x08\0data\x02\0\0\0\x80\x80", 46);
  for (int b = 0; b < 256; ++b) std::ofstream(letters + "/_" + std::to_string(b) + ".wav") << tiny;
  ini_ = "[TRADUTOR]\ndirLetras=" + letters + "\nDIRLETRAS=" + letters + "\n";
  SetUp();
  std::string all;
  for (int b = 1; b < 256; ++b) all += static_cast<char>(b);
  std::ofstream(scratch_ / "bytes.txt", std::ios::binary) << all << std::string(300, '9');
  const Outcome o = run({"sayfile:" + (scratch_ / "bytes.txt")});
  EXPECT_EQ(o.status, 0) << o.output;
  ASSERT_FALSE(o.events.empty());
  EXPECT_EQ(o.events[0].rfind("SAY ", 0), 0u);
}

TEST_F(SpeechService, BatteryFromThePowerSupplyFolder) {
  std::filesystem::create_directories(scratch_ / "power/BAT0");
  std::filesystem::create_directories(scratch_ / "power/AC");
  std::ofstream(scratch_ / "power/BAT0/type") << "Battery\n";
  std::ofstream(scratch_ / "power/BAT0/capacity") << "57\n";
  std::ofstream(scratch_ / "power/AC/type") << "Mains\n";
  std::ofstream(scratch_ / "power/AC/online") << "0\n";
  EXPECT_EQ(run({"battery"}).events,
            (Events{"SAY 57%", "PLAY _cinquen", "PLAY _e", "PLAY _sete", "PLAY _37", "PLAY _SEMENER"}));
  std::filesystem::remove_all(scratch_ / "power");
  EXPECT_EQ(run({"battery"}).events, (Events{"PLAY _SEMBAT"}));
}

TEST(NumberPieces, PieceNamesOfNumberWords) {
  struct Case {
    uint32_t n;
    bool feminine;
    const char* names;
  } cases[] = {
      {0, false, "_zero"},
      {16, false, "_dezesse"},
      {17, false, "_dezeset"},
      {14, false, "_quatorz"},
      {21, true, "_vinte _e _uma"},
      {2, true, "_duas"},
      {1000, false, "_mil"},
      {1001, false, "_mil _e _um"},
      {2000000, false, "_dois _milhoes"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(speech::pieceNamesOf(speech::numberWordsRecorded(c.n), c.feminine), c.names) << c.n;
  }
}

}  // namespace
