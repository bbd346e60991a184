// The client's start, session, main menu and exit, run against the demo
// portal: what the user hears and sees, what the portal receives, and what
// the client leaves on the machine.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "apps/telinha_run.h"

namespace {

using telinha_run::ClientRun;
using telinha_run::missingInOrder;
using Lines = std::vector<std::string>;

// Keys to the main menu's sixth item, the monitor's switch.
const std::string kSixth = "key Down\nkey Down\nkey Down\nkey Down\nkey Down\n";

class Session : public telinha_run::ClientTest {};

TEST_F(Session, FirstStartRegistersCountsAndOpensTheMenuOnFilms) {
  const ClientRun r = runClient(m, "key Esc\nkey s\n");
  EXPECT_EQ(r.status, 0) << r.seen << r.stderrText;
  EXPECT_EQ(missingInOrder(r.seen, {"TITLE Telinha - início", "SHOW Conectando ao Vitrine Aberta", "SHOW Conectado",
                                    "RUN " TELINHA_BIN "/telinha_con", "PLAY SOM\\\\TLABRE.WAV",
                                    "SHOW Telinha  versão 3.0", "PLAY SOM\\\\TLINTRO.WAV", "SAY 3.0",
                                    "SAY No momento, há 4 usuários conectados ao Vitrine Aberta.", "SHOW TELINHA",
                                    "TITLE Telinha - Menu de conteúdos", "SHOW Escolha o que você quer assistir.",
                                    "SHOW Use setas para selecionar.", "SHOW  Enter confirma, Esc sai do programa.",
                                    "PLAY SOM\\\\TLESCCON.WAV", "MENU Filmes", "KEY #27", "SHOW Confirma saída?",
                                    "PLAY SOM\\\\TLCONFSAI.WAV", "KEY s", "PLAY SOM\\\\EF05.WAV", "SHOW Até mais!",
                                    "PLAY SOM\\\\TLTCHAU.WAV", "END "}),
            "");
  // Nothing after the goodbye: the end is silent.
  EXPECT_EQ(r.seen.find("Fim do script"), std::string::npos);
  // Exactly the registration and the online count, nothing else.
  EXPECT_EQ(telinha_run::requestLines(m), (Lines{"POST /conectar HTTP/1.1", "GET /contador.json HTTP/1.1"}));
  const auto all = telinha_run::requests(m);
  ASSERT_GE(all.size(), 2u);
  std::string registration, count;
  for (const auto& q : all) {
    const std::string raw = q.value("request", std::string());
    if (raw.starts_with("POST /conectar")) registration = raw;
    if (raw.starts_with("GET /contador.json")) count = raw;
  }
  EXPECT_EQ(registration, "POST /conectar HTTP/1.1\r\nHost: 127.0.0.1\r\nUser-Agent: Telinha\r\nAccept: */*\r\n"
                          "Connection: Close\r\n\r\n");
  EXPECT_EQ(count, "GET /contador.json HTTP/1.1\r\nUser-Agent: Telinha\r\nHost: localhost\r\nAccept: */*\r\n"
                   "Connection: Close\r\n\r\n");
}

TEST_F(Session, EscThenAnyOtherKeyAsksAgainAndNReturnsToTheMenu) {
  const ClientRun r = runClient(m, "key Esc\nkey x\nkey N\nkey Down\nkey Esc\nkey s\n");
  EXPECT_EQ(r.status, 0) << r.seen << r.stderrText;
  EXPECT_EQ(missingInOrder(r.seen, {"KEY #27", "SHOW Confirma saída?", "KEY x", "SHOW Confirma saída?", "KEY N",
                                    "MENU Filmes", "MENU Séries", "KEY #27", "SHOW Confirma saída?", "KEY s",
                                    "SHOW Até mais!"}),
            "");
}

// The sixth item follows the monitor, which every start switches: on at the
// first start, off at the second. The second start finds the client's
// directory in the user's profile and leaves the suite's menu alone.
TEST_F(Session, TwoStartsSwitchTheMonitorOnAndOffAndInstallOnce) {
  const ClientRun first = runClient(m, kSixth + "key Esc\nkey s\n");
  EXPECT_EQ(first.status, 0) << first.seen << first.stderrText;
  EXPECT_EQ(missingInOrder(first.seen, {"SAY Criando entrada no Escuta.ini.",
                                        "SAY Da próxima vez, você poderá abrir o telinha pressionando r, /, c",
                                        "RUN " TELINHA_BIN "/telinha_mon", "MENU Filmes",
                                        "MENU Desligar notificação automática"}),
            "");
  EXPECT_TRUE(telinha_run::running("telinha_mon"));
  EXPECT_EQ(telinha_run::clientFile(m, "../../home/telinha.dir"), m.client + "\r\n");
  const std::string ini = telinha_run::clientFile(m, "../../config/Escuta/Escuta.ini");
  EXPECT_NE(ini.find("[PROGREDE]"), std::string::npos) << ini;
  EXPECT_NE(ini.find("Rede22=/,[REDEOUTROS],-RDOUTROS,Outros utilit\xE1rios de rede"), std::string::npos) << ini;
  EXPECT_NE(ini.find("Rede11=C," TELINHA_BIN "/telinha,-REDEAD,Assistir conte\xFA" "dos audiodescritos"),
            std::string::npos)
      << ini;
  // Nothing of the installation is left behind in the client's directory.
  for (const char* f : {"script.atu", "result.log", "obtemuserprofile.sh"})
    EXPECT_FALSE(std::filesystem::exists(m.client + "/" + f)) << f;

  const ClientRun second = runClient(m, kSixth + "key Esc\nkey s\n");
  EXPECT_EQ(second.status, 0) << second.seen << second.stderrText;
  EXPECT_EQ(second.seen.find("Criando entrada"), std::string::npos) << second.seen;
  EXPECT_EQ(missingInOrder(second.seen, {"RUN " TELINHA_BIN "/escuta_stop telinha_mon", "MENU Filmes",
                                         "MENU Ligar notificação automática"}),
            "");
  EXPECT_FALSE(telinha_run::running("telinha_mon"));
}

// The sixth item switches the monitor too, and the rebuilt menu says so.
TEST_F(Session, TheSixthItemSwitchesTheMonitor) {
  const ClientRun r = runClient(m, kSixth + "key Enter\nkey Esc\nkey s\n");
  EXPECT_EQ(r.status, 0) << r.seen << r.stderrText;
  EXPECT_EQ(missingInOrder(r.seen, {"MENU Desligar notificação automática", "KEY #13", "PLAY SOM\\\\EF01.WAV",
                                    "RUN " TELINHA_BIN "/escuta_stop telinha_mon", "MENU Ligar notificação automática"}),
            "");
  EXPECT_FALSE(telinha_run::running("telinha_mon"));
}

TEST_F(Session, TheHistoryItemSaysItIsToCome) {
  const ClientRun r = runClient(m, "key Down\nkey Down\nkey Down\nkey Enter\nkey Esc\nkey s\n");
  EXPECT_EQ(r.status, 0) << r.seen << r.stderrText;
  EXPECT_EQ(missingInOrder(r.seen, {"MENU Últimos assistidos", "KEY #13",
                                    "SAY A função de últimos assistidos será implementada em breve.",
                                    "MENU Últimos assistidos"}),
            "");
}

// A later start works in the directory its marker names, wherever it was
// started from.
TEST_F(Session, ALaterStartWorksInTheDirectoryTheMarkerNames) {
  const std::string other = m.dir / "elsewhere";
  std::filesystem::create_directories(other + "/temp");
  std::filesystem::create_directory_symlink(m.client + "/som", other + "/som");
  std::ofstream(m.home + "/telinha.dir") << other << "\r\n";
  const ClientRun r = runClient(m, "key Down\nkey Down\nkey Down\nkey Down\nkey Enter\nkey Esc\nkey Esc\nkey s\n");
  EXPECT_EQ(r.status, 0) << r.seen << r.stderrText;
  EXPECT_EQ(r.seen.find("Criando entrada"), std::string::npos) << r.seen;
  EXPECT_TRUE(std::filesystem::exists(other + "/temp/tlnotas"));
  EXPECT_FALSE(std::filesystem::exists(m.client + "/temp/tlnotas"));
}

// A marker naming a directory that has gone (the client was moved) is taken
// as a first start, not as an error that stops the client.
TEST_F(Session, AMarkerNamingAMissingDirectoryCountsAsAFirstStart) {
  std::ofstream(m.home + "/telinha.dir") << m.dir / "gone" << "\r\n";
  const ClientRun r = runClient(m, "key Esc\nkey s\n");
  EXPECT_EQ(r.status, 0) << r.seen << r.stderrText;
  EXPECT_EQ(missingInOrder(r.seen, {"SAY Criando entrada no Escuta.ini.", "MENU Filmes"}), "");
  EXPECT_EQ(telinha_run::clientFile(m, "../../home/telinha.dir"), m.client + "\r\n");
}

// A registration the portal refuses is told, and the client goes on.
class RefusedRegistration : public Session {
 protected:
  telinha_run::Options portal() override { return {.portalArgs = {"--fail", "/conectar=503"}}; }
};

TEST_F(RefusedRegistration, IsToldAndTheClientGoesOn) {
  const ClientRun r = runClient(m, "key Esc\nkey s\n");
  EXPECT_EQ(r.status, 0) << r.seen << r.stderrText;
  EXPECT_EQ(missingInOrder(r.seen, {"SHOW Conectando ao Vitrine Aberta", "SHOW Conexão não pôde ser registrada.",
                                    "SHOW Erro: 503", "RUN " TELINHA_BIN "/telinha_con", "MENU Filmes"}),
            "");
}

// Without the API server the client cannot start: the connection error and
// the execution error are told, and Enter ends it.
TEST_F(Session, WithoutTheApiServerTheClientTellsWhyAndEnds) {
  std::string ini = telinha_run::clientFile(m, "../../config/Escuta/Escuta.ini");
  const size_t at = ini.find("PORTAAPI=");
  ini.replace(at, ini.find('\n', at) - at, "PORTAAPI=1");
  std::ofstream(m.config + "/Escuta.ini") << ini;
  const ClientRun r = runClient(m, "key Enter\n");
  EXPECT_EQ(r.status, 1) << r.seen << r.stderrText;
  // Where the portal was looked for, and where that was read, come first.
  const size_t where = r.seen.find("SHOW O portal foi procurado em HOSTAPI=127.0.0.1, PORTAAPI=1, lidos de " +
                                   m.config + "/Escuta.ini\n");
  EXPECT_NE(where, std::string::npos) << r.seen;
  const size_t told = r.seen.find("SHOW Erro de conexao\n");
  EXPECT_GT(told, where) << r.seen;
  EXPECT_NE(r.seen.find("\nERROR ", told), std::string::npos) << r.seen;
  EXPECT_EQ(r.seen.find("RUN " TELINHA_BIN "/telinha_con"), std::string::npos) << r.seen;
  EXPECT_TRUE(telinha_run::requestLines(m).empty());
}

// Without the suite's updater (no PGMESCUTA) the menu entry is not made, and
// nothing waits for it.
class WithoutSuite : public Session {
 protected:
  telinha_run::Options portal() override { return {.portalArgs = {}, .suiteUpdater = false}; }
};

TEST_F(WithoutSuite, TheMenuEntryIsSkipped) {
  const ClientRun r = runClient(m, "key Esc\nkey s\n");
  EXPECT_EQ(r.status, 0) << r.seen << r.stderrText;
  EXPECT_EQ(r.seen.find("atuescuta"), std::string::npos) << r.seen;
  EXPECT_EQ(telinha_run::clientFile(m, "../../config/Escuta/Escuta.ini").find("PROGREDE"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(m.client + "/script.atu"));
}

}  // namespace
