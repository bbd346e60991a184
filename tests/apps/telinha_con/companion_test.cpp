// The companion telinha_con end to end, headless, against vitrine-demo: the
// news of the installed version read once and marked, the update check, a
// real update downloaded, tested, installed and the client started again, a
// damaged or refused update leaving the installed client alone, and the end
// of the connection reported once the client has gone.
//
// Each run happens in a process namespace of its own, and its stand-in client
// runs with the companion's directory of Escuta.ini, as the client that starts
// the companion does: the companion sees and stops only that client.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "support/scratch.h"
#include "tools/standins/vitrine-demo/live_demo.h"

namespace {

namespace fs = std::filesystem;
using testsupport::slurp;

const std::string kVersionResource = "/gdrive/software/mantenedor/telinha_version.txt";
const std::string kArchiveResource = "/gdrive/software/mantenedor/telinha-3.1-update.7z";
const std::string kArchive = "telinha-3.1-update.7z";

void writeFile(const std::string& path, const std::string& bytes) {
  fs::create_directories(fs::path(path).parent_path());
  std::ofstream(path, std::ios::binary) << bytes;
}

// A tiny wave file: 10 ms of silence at 8 kHz, 8 bits.
std::string silentWave() {
  auto u32 = [](uint32_t v) { return std::string{char(v), char(v >> 8), char(v >> 16), char(v >> 24)}; };
  auto u16 = [](uint16_t v) { return std::string{char(v), char(v >> 8)}; };
  const std::string data(80, '\x80');
  return "RIFF" + u32(36 + uint32_t(data.size())) + "WAVEfmt " + u32(16) + u16(1) + u16(1) + u32(8000) + u32(8000) +
         u16(1) + u16(8) + "data" + u32(uint32_t(data.size())) + data;
}

int count(const std::string& text, const std::string& part) {
  int n = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

// Whether the parts occur in the text in this order.
bool inOrder(const std::string& text, const std::vector<std::string>& parts) {
  size_t at = 0;
  for (const std::string& p : parts) {
    at = text.find(p, at);
    if (at == std::string::npos) return false;
    at += p.size();
  }
  return true;
}

// The last lines of a run: whatever the run started is ended at once and
// given a moment to go, so that nothing of it still writes while the test
// looks at the files.
const std::string kEndEverything = "kill -KILL -1 2>/dev/null\nsleep 0.2\n";

// How this machine gives a run a process namespace of its own; empty when it
// cannot.
std::string namespacePrefix() {
  static const std::string prefix = [] {
    for (const char* p : {"unshare --pid --fork --mount-proc", "unshare --user --map-root-user --pid --fork --mount-proc"}) {
      if (std::system((std::string(p) + " true >/dev/null 2>&1").c_str()) == 0) return std::string(p);
    }
    return std::string();
  }();
  return prefix;
}

struct Outcome {
  int status = -1;
  std::string transcript;
  std::string standin;  // what the stand-in client noted
  std::string other;    // what another session's stand-in client noted
};

struct Requests {
  std::vector<nlohmann::json> all;
  int to(const std::string& path) const {
    int n = 0;
    for (const auto& r : all) n += r["path"] == path;
    return n;
  }
};

class Companion : public ::testing::Test {
 protected:
  void SetUp() override {
    if (namespacePrefix().empty()) GTEST_SKIP() << "no process namespace available (unshare)";
    if (!fs::exists(std::string(UPDATE_DIR) + "/" + kArchive)) GTEST_SKIP() << "no demo update was built (7za)";
    fs::create_directories(client());
    fs::create_directories(dir / "upd");
    fs::create_directory_symlink(AUDIWIN, dir / "root/audiwin");
    // The companion beside the stand-in client, as it is installed beside
    // the client: a program's own directory is searched first.
    fs::create_directories(bin());
    fs::copy_file(TELINHA_CON, bin() + "/telinha_con");
    fs::copy_file(STANDIN_DIR "/telinha", bin() + "/telinha");
    fs::copy_file(ESCUTA_STOP, bin() + "/escuta_stop");
  }
  void TearDown() override {
    if (demo) {
      EXPECT_EQ(live::stopCleanly(*demo), "");
    }
  }

  std::string client() const { return dir / "root/telinha"; }
  std::string bin() const { return dir / "bin"; }
  std::string inClient(const std::string& name) const { return client() + "/" + name; }

  // The portal offers what is in upd/: by default the remote version file
  // announcing the installed version, so there is no update.
  void remoteVersion(const std::string& text) { writeFile(dir / "upd/telinha_version.txt", text); }
  void offerTheBuiltUpdate() {
    for (const char* f : {"telinha_version.txt", "telinha-3.1-update.7z"})
      fs::copy_file(std::string(UPDATE_DIR) + "/" + f, dir / ("upd/" + std::string(f)),
                    fs::copy_options::overwrite_existing);
  }

  void startPortal(const std::vector<std::string>& extra = {}) {
    std::vector<std::string> args{"--updates", dir / "upd"};
    args.insert(args.end(), extra.begin(), extra.end());
    demo = live::start(args);
    ASSERT_TRUE(demo) << "vitrine-demo did not start";
    fs::create_directories(dir / "cfg");
    fs::copy_file(demo->stateDir + "/escuta-demo.ini", dir / "cfg/Escuta.ini", fs::copy_options::overwrite_existing);
  }

  // Runs the companion from the client's directory; with standinSeconds, a
  // stand-in client is running when it starts and goes after that long. With
  // otherSession, so is the client of another directory of Escuta.ini, for
  // longer than the run may last.
  Outcome run(const std::string& keys = "", std::optional<double> standinSeconds = std::nullopt,
              bool otherSession = false) {
    if (!demo) startPortal();
    writeFile(dir / "keys.txt", keys);
    fs::remove(dir / "transcript.txt");
    std::string script = "export PATH='" + bin() + "':\"$PATH\" TELINHA_STANDIN_LOG='" + dir / "standin.txt" +
                         "' TELINHA_STANDIN_WATCH='" + demo->logFile + "' ESCUTA_ROOT='" + dir / "root" + "'\n";
    if (standinSeconds) {
      script += "TELINHA_STANDIN_SECONDS=" + std::to_string(*standinSeconds) + " ESCUTA_CONFIG_DIR='" + dir / "cfg" +
                "' telinha &\n";
      script += "while ! grep -q started '" + dir / "standin.txt" + "' 2>/dev/null; do sleep 0.01; done\n";
    }
    if (otherSession) {
      script += "TELINHA_STANDIN_LOG='" + dir / "outra.txt" + "' TELINHA_STANDIN_SECONDS=600 ESCUTA_CONFIG_DIR='" +
                dir / "outra" + "' telinha &\n";
      script += "while ! grep -q started '" + dir / "outra.txt" + "' 2>/dev/null; do sleep 0.01; done\n";
    }
    script += "telinha_con --frontend headless --config-dir '" + dir / "cfg" + "' --keys '" + dir / "keys.txt" +
              "' --transcript '" + dir / "transcript.txt" + "' --clock-speed 10 --time-limit 120 </dev/null >'" +
              dir / "out.txt" + "' 2>&1\n";
    script += "echo $? >'" + dir / "status.txt" + "'\n";
    // A client started again notes its start before the namespace ends.
    script += "sleep 0.3\n" + kEndEverything;
    writeFile(dir / "run.sh", script);
    std::system((namespacePrefix() + " sh '" + dir / "run.sh" + "'").c_str());
    Outcome r;
    r.status = std::atoi(slurp(dir / "status.txt").c_str());
    r.transcript = slurp(dir / "transcript.txt");
    r.standin = slurp(dir / "standin.txt");
    r.other = slurp(dir / "outra.txt");
    return r;
  }

  // Runs the real client from the user's home, as a menu starts it, and,
  // once it has gone, waits (10 s at most) until the portal has seen
  // `registrations` registrations in all.
  Outcome runClient(const std::string& keys, int registrations) {
    if (!demo) startPortal();
    fs::create_directories(dir / "home");
    std::ofstream(dir / "cfg/Escuta.ini", std::ios::app)
        << "[ESCUTA]\r\nTEMPOESPERAPROGVOLTAR=0\r\nPGMESCUTA=" TELINHA_BIN "\r\n";
    writeFile(dir / "keys.txt", keys);
    std::string script = "cd '" + dir / "home" + "'\nexport HOME='" + dir / "home" + "' XDG_CONFIG_HOME='" +
                         dir / "xdg" + "' ESCUTA_ROOT='" + dir / "root" +
                         "' ESCUTA_FRONT_WAIT_MS=200 LC_ALL=C PATH='" TELINHA_BIN "':\"$PATH\"\n";
    script += "telinha --frontend headless --config-dir '" + dir / "cfg" + "' --keys '" + dir / "keys.txt" +
              "' --transcript '" + dir / "transcript.txt" + "' --clock-speed 10 --time-limit 120 </dev/null >'" +
              dir / "out.txt" + "' 2>&1\n";
    script += "echo $? >'" + dir / "status.txt" + "'\n";
    script += "for i in $(seq 100); do [ $(grep -c '\"/conectar\"' '" + demo->logFile + "') -ge " +
              std::to_string(registrations) + " ] && break; sleep 0.1; done\n" + kEndEverything;
    writeFile(dir / "run.sh", script);
    std::system((namespacePrefix() + " sh '" + dir / "run.sh" + "'").c_str());
    Outcome r;
    r.status = std::atoi(slurp(dir / "status.txt").c_str());
    r.transcript = slurp(dir / "transcript.txt");
    return r;
  }

  Requests requests() const { return {live::log(*demo)}; }

  testsupport::ScratchDir dir;
  std::optional<live::Demo> demo;
};

// --- Without news or update -------------------------------------------------

TEST_F(Companion, WithoutAVersionFileItWaitsForTheClientThenReportsTheEnd) {
  remoteVersion("telinha\r\n3.0\r\n");
  const Outcome r = run("", 1.0);
  EXPECT_EQ(r.status, 0) << slurp(dir / "out.txt");
  EXPECT_EQ(r.transcript.find("Telinha Check"), std::string::npos) << r.transcript;
  EXPECT_EQ(r.transcript.find("SAY\t"), std::string::npos) << r.transcript;
  EXPECT_NE(r.transcript.find("BEEP\t\nEND"), std::string::npos) << r.transcript;
  // The client had gone, by itself, before the portal was told.
  EXPECT_EQ(r.standin, "started\nended\n");
  const Requests q = requests();
  ASSERT_EQ(q.all.size(), 1u) << "no update check without a version file";
  EXPECT_EQ(q.all[0]["server"], "api");
  EXPECT_EQ(q.all[0]["request"],
            "DELETE /desconectar HTTP/1.1\r\nHost: 127.0.0.1\r\nUser-Agent: Telinha\r\nAccept: */*\r\n"
            "Connection: Close\r\n\r\n");
  EXPECT_EQ(q.all[0]["status"], 200);
}

// Another session's client runs on: the companion neither waits for it nor
// stops it, whether it reports the end of the session or installs an update.
TEST_F(Companion, AnotherSessionsClientIsNeitherAwaitedNorStopped) {
  remoteVersion("telinha\r\n3.0\r\n");
  const Outcome end = run("", 1.0, true);
  EXPECT_EQ(end.status, 0) << slurp(dir / "out.txt");
  EXPECT_EQ(end.standin, "started\nended\n");
  EXPECT_EQ(end.other, "started\n");
  EXPECT_EQ(requests().to("/desconectar"), 1);

  fs::remove(dir / "outra.txt");
  fs::remove(dir / "standin.txt");
  writeFile(inClient("telinha_version.txt"), "3.0\r\n*Lidas.\r\n");
  offerTheBuiltUpdate();
  const Outcome update = run("", 30.0, true);
  EXPECT_EQ(update.status, 0) << slurp(dir / "out.txt");
  EXPECT_EQ(update.standin, "started\nstopped\nstarted\n");
  EXPECT_EQ(update.other, "started\n");
  EXPECT_TRUE(slurp(inClient("telinha_version.txt")).starts_with("3.1\r\n"));
}

TEST_F(Companion, AnEndOfConnectionNotRegisteredIsSaidWithTheCode) {
  remoteVersion("telinha\r\n3.0\r\n");
  startPortal({"--fail", "/desconectar=503"});
  const Outcome r = run();
  EXPECT_EQ(r.status, 0) << "the companion ends normally";
  EXPECT_TRUE(inOrder(r.transcript, {"SAY\tA desconexão não pôde ser registrada.\n", "SAY\tErro 503\n", "END"}))
      << r.transcript;
  EXPECT_EQ(requests().to("/desconectar"), 1);
}

// --- News -------------------------------------------------------------------

TEST_F(Companion, AVersionLineAloneIsRewrittenAndTheNewsSoundsGo) {
  writeFile(inClient("telinha_version.txt"), "3.0\r\n");
  writeFile(inClient("som/update/antigo.wav"), silentWave());
  remoteVersion("telinha\r\n3.0\r\n");
  const Outcome r = run();
  EXPECT_EQ(r.status, 0) << slurp(dir / "out.txt");
  EXPECT_NE(r.transcript.find("TITLE\tTelinha Check"), std::string::npos) << r.transcript;
  EXPECT_EQ(r.transcript.find("SAY\t"), std::string::npos) << r.transcript;
  EXPECT_EQ(slurp(inClient("telinha_version.txt")), "3.0\r\n");
  EXPECT_TRUE(fs::is_empty(inClient("som/update")));
  EXPECT_FALSE(fs::exists(inClient("telinha_version_temp.txt")));
  // The same version on the portal: checked, nothing downloaded.
  const Requests q = requests();
  ASSERT_EQ(q.to(kVersionResource), 1);
  for (const auto& request : q.all) {
    if (request["path"] == kVersionResource) {
      EXPECT_EQ(request["request"], "GET " + kVersionResource +
                                        " HTTP/1.1\r\nHost: localhost\r\nUser-Agent: Telinha\r\nAccept: */*\r\n"
                                        "Connection: Close\r\n\r\n");
    }
  }
  EXPECT_EQ(q.to(kArchiveResource), 0);
  EXPECT_EQ(q.to("/desconectar"), 1);
}

TEST_F(Companion, NewsOfEveryKindIsReadOnceAndMarkedRead) {
  const std::string news = "3.0\r\nOl\xE1, novidades.\r\n.\r\n[som\\update\\aviso.wav]\r\nAt\xE9 logo.\r\n";
  writeFile(inClient("telinha_version.txt"), news);
  writeFile(inClient("som/update/aviso.wav"), silentWave());
  remoteVersion("telinha\r\n3.0\r\n");
  const Outcome first = run("key x\n");
  EXPECT_EQ(first.status, 0) << slurp(dir / "out.txt");
  // Said, then a click and a key taken without echo, then the sound played.
  EXPECT_TRUE(inOrder(first.transcript, {"SAY\tOlá, novidades.\n", "CLICK\t\nKEY\tx\nPLAY\tsom\\\\update\\\\aviso.wav\n",
                                         "SAY\tAté logo.\n"}))
      << first.transcript;
  EXPECT_EQ(count(first.transcript, "SAY\t"), 2) << first.transcript;
  EXPECT_EQ(slurp(inClient("telinha_version.txt")),
            "3.0\r\n*Ol\xE1, novidades.\r\n*.\r\n*[som\\update\\aviso.wav]\r\n*At\xE9 logo.\r\n");
  EXPECT_TRUE(fs::is_empty(inClient("som/update")));

  const Outcome second = run();
  EXPECT_EQ(second.status, 0);
  EXPECT_EQ(second.transcript.find("SAY\t"), std::string::npos) << second.transcript;
  EXPECT_EQ(second.transcript.find("CLICK"), std::string::npos) << second.transcript;
}

// A client installed without the news' sound folder: nothing to empty, and
// the companion goes on to the update check and the end of the session.
TEST_F(Companion, NewsWithoutTheSoundFolderIsStillReadAndMarked) {
  writeFile(inClient("telinha_version.txt"), "3.0\r\nNovidade.\r\n");
  writeFile(inClient("fica.txt"), "do cliente\n");
  remoteVersion("telinha\r\n3.0\r\n");
  const Outcome r = run();
  EXPECT_EQ(r.status, 0) << slurp(dir / "out.txt");
  EXPECT_NE(r.transcript.find("SAY\tNovidade.\n"), std::string::npos) << r.transcript;
  EXPECT_EQ(r.transcript.find("ERROR"), std::string::npos) << r.transcript;
  EXPECT_EQ(slurp(inClient("telinha_version.txt")), "3.0\r\n*Novidade.\r\n");
  EXPECT_EQ(slurp(inClient("fica.txt")), "do cliente\n");
  EXPECT_EQ(requests().to(kVersionResource), 1);
  EXPECT_EQ(requests().to("/desconectar"), 1);
}

TEST_F(Companion, NewsAlreadyReadIsLeftAlone) {
  const std::string read = "3.0\r\n*Velha novidade.\r\n*.\r\n";
  writeFile(inClient("telinha_version.txt"), read);
  writeFile(inClient("som/update/guardado.wav"), silentWave());
  remoteVersion("telinha\r\n3.0\r\n");
  const Outcome r = run();
  EXPECT_EQ(r.status, 0) << slurp(dir / "out.txt");
  EXPECT_NE(r.transcript.find("TITLE\tTelinha Check"), std::string::npos);
  EXPECT_EQ(r.transcript.find("SAY\t"), std::string::npos) << r.transcript;
  EXPECT_EQ(slurp(inClient("telinha_version.txt")), read);
  EXPECT_TRUE(fs::exists(inClient("som/update/guardado.wav")));
}

// Cut short between removing the version file and putting the marked copy in
// its place, the marking is finished at the next start.
TEST_F(Companion, AMarkingCutShortIsFinishedAtTheNextStart) {
  const std::string marked = "3.0\r\n*Lida.\r\n";
  writeFile(inClient("telinha_version_temp.txt"), marked);
  remoteVersion("telinha\r\n3.0\r\n");
  const Outcome r = run();
  EXPECT_EQ(r.status, 0) << slurp(dir / "out.txt");
  EXPECT_EQ(r.transcript.find("SAY\t"), std::string::npos) << r.transcript;
  EXPECT_EQ(slurp(inClient("telinha_version.txt")), marked);
  EXPECT_FALSE(fs::exists(inClient("telinha_version_temp.txt")));
  EXPECT_EQ(requests().to(kVersionResource), 1);
}

// --- Updates ----------------------------------------------------------------

TEST_F(Companion, ANewerVersionIsDownloadedTestedInstalledAndTheClientStartedAgain) {
  writeFile(inClient("telinha_version.txt"), "3.0\r\n*Lidas.\r\n");
  offerTheBuiltUpdate();
  const Outcome r = run("", 30.0);
  EXPECT_EQ(r.status, 0) << slurp(dir / "out.txt");
  const size_t test = r.transcript.find("RUN\t/usr/bin/7za t " + kArchive + "\n");
  const size_t stop = r.transcript.find("RUN\t" + bin() + "/escuta_stop telinha\n");
  const size_t stopMonitor = r.transcript.find("RUN\t" + bin() + "/escuta_stop telinha_mon\n");
  const size_t unpack = r.transcript.find("RUN\t/usr/bin/7za x " + kArchive + " -y\n");
  const size_t restart = r.transcript.find("RUN\t" + bin() + "/telinha\n");
  ASSERT_NE(restart, std::string::npos) << r.transcript;
  EXPECT_TRUE(test < stop && stop < stopMonitor && stopMonitor < unpack && unpack < restart) << r.transcript;
  EXPECT_EQ(r.standin, "started\nstopped\nstarted\n");

  // The new files are in place, the archive is gone, and nothing was
  // written beside the client's directory.
  const std::string installed = slurp(inClient("telinha_version.txt"));
  EXPECT_EQ(installed, slurp(UPDATE_STAGE "/telinha_version.txt")) << r.transcript << slurp(dir / "out.txt");
  EXPECT_TRUE(installed.starts_with("3.1\r\n"));
  EXPECT_TRUE(slurp(inClient("som/update/novidades.wav")) == slurp(UPDATE_STAGE "/som/update/novidades.wav"));
  EXPECT_TRUE(fs::exists(inClient("som/update/bom_proveito.wav")));
  EXPECT_FALSE(fs::exists(inClient(kArchive)));
  std::vector<std::string> root;
  for (const auto& e : fs::directory_iterator(dir / "root")) root.push_back(e.path().filename().string());
  std::sort(root.begin(), root.end());
  EXPECT_EQ(root, (std::vector<std::string>{"audiwin", "telinha"}));

  // The new client registers again: this companion does not end the session.
  const Requests q = requests();
  EXPECT_EQ(q.to(kVersionResource), 1);
  ASSERT_EQ(q.to(kArchiveResource), 1);
  for (const auto& request : q.all) {
    if (request["path"] == kArchiveResource) {
      const std::string text = request["request"];
      EXPECT_NE(text.find("\r\nUser-Agent: \r\n"), std::string::npos) << text;
      EXPECT_NE(text.find("\r\nCookie: Telinha\r\n"), std::string::npos) << text;
    }
  }
  EXPECT_EQ(q.to("/desconectar"), 0);
}

TEST_F(Companion, ADamagedArchiveReplacesNothingAndTheSessionGoesOn) {
  const std::string installed = "3.0\r\n*Lidas.\r\n";
  writeFile(inClient("telinha_version.txt"), installed);
  offerTheBuiltUpdate();
  const fs::path archive = dir / ("upd/" + kArchive);
  fs::resize_file(archive, fs::file_size(archive) / 2);
  const Outcome r = run("", 1.0);
  EXPECT_EQ(r.status, 0) << slurp(dir / "out.txt");
  EXPECT_NE(r.transcript.find("SAY\tO pacote da versão 3.1 do Telinha chegou danificado. O Telinha continua na "
                              "versão 3.0.\n"),
            std::string::npos)
      << r.transcript;
  EXPECT_EQ(r.transcript.find("escuta_stop"), std::string::npos) << "the client is not stopped";
  EXPECT_EQ(r.transcript.find("7za x"), std::string::npos) << r.transcript;
  EXPECT_EQ(slurp(inClient("telinha_version.txt")), installed);
  EXPECT_FALSE(fs::exists(inClient(kArchive)));
  EXPECT_EQ(r.standin, "started\nended\n");
  EXPECT_EQ(requests().to("/desconectar"), 1);
}

// An archive of another kind whose entries point outside the client's
// directory: 7za would open it, with a warning, and keep the entries inside;
// the companion does not go that far.
TEST_F(Companion, AnArchiveThatIsNot7zIsRefusedAndNothingIsWrittenOutside) {
  const std::string installed = "3.0\r\n*Lidas.\r\n";
  writeFile(inClient("telinha_version.txt"), installed);
  remoteVersion("telinha\r\n3.1\r\n");
  const std::string inside = dir / "pacote/dentro";
  writeFile(inside + "/telinha_version.txt", "3.1\r\n");
  writeFile(dir / "pacote/fora.txt", "hostil\n");
  fs::create_directory_symlink("..", inside + "/ligacao");
  ASSERT_EQ(std::system(("cd '" + inside + "' && tar -cPf '" + dir / ("upd/" + kArchive) +
                         "' telinha_version.txt ../fora.txt ligacao")
                            .c_str()),
            0);
  const Outcome r = run("", 1.0);
  EXPECT_EQ(r.status, 0) << slurp(dir / "out.txt");
  EXPECT_NE(r.transcript.find("chegou danificado"), std::string::npos) << r.transcript;
  EXPECT_EQ(r.transcript.find("escuta_stop"), std::string::npos) << r.transcript;
  EXPECT_EQ(slurp(inClient("telinha_version.txt")), installed);
  EXPECT_FALSE(fs::exists(dir / "root/fora.txt"));
  EXPECT_FALSE(fs::exists(inClient("fora.txt")));
  EXPECT_FALSE(fs::is_symlink(inClient("ligacao")));
  EXPECT_EQ(r.standin, "started\nended\n");
}

TEST_F(Companion, ARefusedDownloadReplacesNothing) {
  const std::string installed = "3.0\r\n*Lidas.\r\n";
  writeFile(inClient("telinha_version.txt"), installed);
  offerTheBuiltUpdate();
  startPortal({"--fail", kArchiveResource + "=404"});
  const Outcome r = run("", 1.0);
  EXPECT_EQ(r.status, 0) << slurp(dir / "out.txt");
  EXPECT_NE(r.transcript.find("SAY\tA versão 3.1 do Telinha não pôde ser baixada. O Telinha continua na versão "
                              "3.0.\n"),
            std::string::npos)
      << r.transcript;
  EXPECT_EQ(r.transcript.find("RUN"), std::string::npos) << r.transcript;
  EXPECT_EQ(slurp(inClient("telinha_version.txt")), installed);
  EXPECT_FALSE(fs::exists(inClient(kArchive)));
  EXPECT_EQ(r.standin, "started\nended\n");
  EXPECT_EQ(requests().to("/desconectar"), 1);
}

// A version that is not made of digits and dots would become part of a file
// name and of the archiver's command line.
TEST_F(Companion, AnAnnouncedVersionThatIsNotANumberIsRefused) {
  for (const std::string version : {"3.2 -o/tmp", "9/../../fora"}) {
    SCOPED_TRACE(version);
    writeFile(inClient("telinha_version.txt"), "3.0\r\n*Lidas.\r\n");
    remoteVersion("telinha\r\n" + version + "\r\n");
    const Outcome r = run();
    EXPECT_EQ(r.status, 0) << slurp(dir / "out.txt");
    EXPECT_NE(r.transcript.find("SAY\tO portal anunciou uma versão do Telinha que não é válida: " + version + "\n"),
              std::string::npos)
        << r.transcript;
    EXPECT_EQ(r.transcript.find("RUN"), std::string::npos) << r.transcript;
    EXPECT_EQ(requests().to(kArchiveResource), 0);
  }
}

TEST_F(Companion, AnAnswerOtherThan200AnnouncesNoVersion) {
  writeFile(inClient("telinha_version.txt"), "3.0\r\n*Lidas.\r\n");
  offerTheBuiltUpdate();
  startPortal({"--fail", kVersionResource + "=500"});
  const Outcome r = run();
  EXPECT_EQ(r.status, 0) << slurp(dir / "out.txt");
  EXPECT_EQ(r.transcript.find("SAY\t"), std::string::npos) << r.transcript;
  EXPECT_EQ(requests().to(kArchiveResource), 0);
  EXPECT_EQ(requests().to("/desconectar"), 1);
}

// The whole path with the real client: it registers and starts the
// companion, which reads the installed news, finds 3.1 on the portal, stops
// the client, installs the update and starts the client again, which
// registers anew.
TEST_F(Companion, TheClientStartsTheCompanionWhichUpdatesIt) {
  writeFile(inClient("telinha_version.txt"), "3.0\r\nBem-vindo ao Telinha.\r\n");
  offerTheBuiltUpdate();
  const Outcome r = runClient("wait 30000\nkey Esc\nkey s\n", 2);
  EXPECT_NE(r.transcript.find("RUN\t" TELINHA_BIN "/telinha_con\n"), std::string::npos) << r.transcript;
  EXPECT_EQ(r.transcript.find("ERROR"), std::string::npos) << r.transcript;
  EXPECT_TRUE(slurp(inClient("telinha_version.txt")).starts_with("3.1\r\n")) << slurp(dir / "out.txt");
  EXPECT_FALSE(fs::exists(inClient(kArchive)));
  const Requests q = requests();
  EXPECT_EQ(q.to("/conectar"), 2) << "the client, then the client started again";
  EXPECT_EQ(q.to(kArchiveResource), 1);
}

}  // namespace
