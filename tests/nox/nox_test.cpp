// vantorel-nox as a process, as a service manager runs it: its Catmux.ini in
// a folder of its own, App 1 and the radio on real pseudo-terminals (the
// suites named "Pty"), the settings file's refusals, and a remote station of
// two of them (remote_station.h) over an encrypted link.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "child_process.h"
#include "pty_pair.h"
#include "remote_station.h"
#include "settings/settings_file.h"
#include "station/station.h"
#include "temp_folder.h"
#include "terminal_client.h"

namespace vantorel::testing {
namespace {

using namespace std::chrono_literals;

// Only a net against a hang: the end may take every bounded wait there is
// (the unkey's and each port's drain) and still be in time.
constexpr auto kEndLimit = 4 * station::kEndDrainLimit + 10s;

const std::function<void()> kNoPump = [] {};

class PtyNox : public ::testing::Test {
 protected:
  PtyNox() { std::filesystem::create_directories(station); }
  [[nodiscard]] std::filesystem::path SettingsFile() const { return station / "Catmux.ini"; }
  // A complete file for the two terminals.
  [[nodiscard]] std::string FileText(const StationFile& file = {}) const {
    return StationFileText(app1End.Path(), radioEnd.Path(), file);
  }

  // Starts the program; its ports are open once the radio hears "AI1;".
  void Start(std::vector<std::string> more = {}) {
    more.insert(more.begin(), {VANTOREL_NOX_PROGRAM, "--folder", station.string()});
    nox = std::make_unique<ChildProcess>(more);
    ASSERT_EQ(radioEnd.Read(4, kNoPump, 10s), "AI1;") << nox->Errors();
  }

  TempFolder folder;
  std::filesystem::path station = folder.Path() / "station";
  PtyPair app1End;
  PtyPair radioEnd;
  std::unique_ptr<ChildProcess> nox;
};

// Translating, the monitor in the log; SIGTERM while keyed unkeys the radio,
// ends with status 0 and saves the settings in the folder given.
TEST_F(PtyNox, TranslatesLogsTheMonitorAndAtSigtermUnkeysAndSaves) {
  WriteFile(SettingsFile(), FileText());
  Start({"--monitor", "hex"});
  app1End.Write("FA14251300;");
  EXPECT_EQ(radioEnd.Read(14, kNoPump), "FA00014251300;");
  EXPECT_EQ(app1End.Read(22, kNoPump), "FA14251300;FA14251300;");
  radioEnd.Write("FA00007074000;");
  EXPECT_EQ(app1End.Read(11, kNoPump), "FA07074000;");
  app1End.Write("MX1;");
  EXPECT_EQ(radioEnd.Read(14, kNoPump), "TX1;TX;RM;MX1;");

  nox->Signal(SIGTERM);
  EXPECT_EQ(radioEnd.Read(3, kNoPump), "RX;");
  EXPECT_EQ(nox->Wait(kEndLimit), 0) << nox->Errors();
  // App 1's block in the monitor's hexadecimal form, and what the radio got.
  EXPECT_NE(nox->Errors().find("from App 1: 464131343235313330303B"), std::string::npos)
      << nox->Errors();
  EXPECT_NE(nox->Errors().find("to the radio: FA00014251300;"), std::string::npos);
  // Saved: the same settings, with the line this program adds.
  EXPECT_EQ(ReadFile(SettingsFile()), FileText({.saved = true}));
  EXPECT_TRUE(std::filesystem::exists(station / "TEST.TXT"));
  EXPECT_FALSE(std::filesystem::exists(folder.Path() / "Catmux.ini")) << "not the current folder";
}

// A reload opens again only what changed: App 1's program, here on the
// station's own virtual port, keeps its open port and its link; an edited
// file is applied, a half-written one is not.
TEST_F(PtyNox, SighupKeepsWhatIsUnchangedAndAppliesAWholeEditedFile) {
  const std::string link = (station / "app1").string();
  WriteFile(SettingsFile(), StationFileText("pty:" + link, radioEnd.Path()));
  Start();
  const TerminalClient app1(link);
  const auto terminal = std::filesystem::read_symlink(link);
  nox->Signal(SIGHUP);
  ASSERT_EQ(radioEnd.Read(4, kNoPump, 10s), "AI1;") << nox->Errors();
  app1.Send("FA14251300;");
  EXPECT_EQ(radioEnd.Read(14, kNoPump), "FA00014251300;") << nox->Errors();
  EXPECT_EQ(std::filesystem::read_symlink(link), terminal);
  EXPECT_EQ(app1.ReadAnswers(2), "FA14251300;FA14251300;");

  WriteFile(SettingsFile(),
            StationFileText("pty:" + link, radioEnd.Path(), {.noTranslation = true}));
  nox->Signal(SIGHUP);
  ASSERT_EQ(radioEnd.Read(4, kNoPump, 10s), "AI1;") << nox->Errors();
  // "No Translation" ticked: App 1's text reaches the radio as it came.
  app1.Send("FA14251300;");
  EXPECT_EQ(radioEnd.Read(11, kNoPump), "FA14251300;");
  radioEnd.Write("FA00007074000;");
  EXPECT_EQ(app1.ReadAnswers(1), "FA00007074000;");

  // A half-written edit is no reason to drop the station: the bridge goes on
  // as it was, and the end does not write over the user's file.
  const std::string halfEdited = Lines({"pty:" + link, "", radioEnd.Path(), "38400"});
  WriteFile(SettingsFile(), halfEdited);
  nox->Signal(SIGHUP);
  ASSERT_TRUE(nox->WaitForError("goes on with the settings it has")) << nox->Errors();
  app1.Send("FA14251300;");
  EXPECT_EQ(radioEnd.Read(11, kNoPump), "FA14251300;") << "still untranslated";
  nox->Signal(SIGTERM);
  EXPECT_EQ(nox->Wait(kEndLimit), 0);
  EXPECT_EQ(ReadFile(SettingsFile()), halfEdited);
  EXPECT_NE(nox->Errors().find("has only 4 of its 23 lines"), std::string::npos);
}

// Apps.ini is read at start and again at SIGHUP: a Kenwood program on a port
// of its own asks the radio through the service.
TEST_F(PtyNox, ReadsTheExtraApplicationsAtStartAndAtSighup) {
  WriteFile(SettingsFile(), FileText());
  for (const std::string name : {"Logger", "Panel"}) {
    WriteFile(station / "Apps.ini",
              "[" + name + "]\nPort=pty:" + (station / name).string() + "\nDialect=kenwood\n");
    if (!nox) {
      nox = std::make_unique<ChildProcess>(
          std::vector<std::string>{VANTOREL_NOX_PROGRAM, "--folder", station.string()});
    } else {
      nox->Signal(SIGHUP);
    }
    ASSERT_TRUE(nox->WaitForError(name + "'s port is open")) << nox->Errors();
    radioEnd.Read(64, kNoPump, 500ms);  // what the station asks the radio at open
    const TerminalClient program(station / name);
    program.Send("FA;");
    EXPECT_EQ(radioEnd.Read(3, kNoPump), "FA;");
    radioEnd.Write("FA00014074000;");
    EXPECT_EQ(program.ReadAnswers(1), "FA00014074000;");
  }
  EXPECT_FALSE(std::filesystem::exists(station / "Logger"));
}

// A radio whose device goes away is tried again while the service runs (the
// device may come back), and so is one away at a reload: the loss is logged,
// and a stop signal still ends the service in order.
TEST_F(PtyNox, ALostRadioIsTriedAgainUntilTheServiceStops) {
  WriteFile(SettingsFile(), FileText());
  Start();
  radioEnd.Close();
  // The loss shows when the station next writes to the radio.
  app1End.Write("FA;");
  ASSERT_TRUE(nox->WaitForError("being tried again", kEndLimit)) << nox->Errors();
  const std::size_t before = nox->Errors().size();
  const std::string away = StationFileText(app1End.Path(), (station / "no-such-tty").string());
  WriteFile(SettingsFile(), away);
  nox->Signal(SIGHUP);
  ASSERT_TRUE(nox->WaitForError("The radio's port was lost and is being tried again", 10s, before))
      << nox->Errors();
  nox->Signal(SIGTERM);
  EXPECT_EQ(nox->Wait(kEndLimit), 0) << nox->Errors();
  EXPECT_EQ(ReadFile(SettingsFile()), away + "False\r\nauto\r\n") << "saved at the end";
}

// Without a complete settings file or the radio's port there is nothing to run:
// status 1, the reason logged, the file left. (Why a file cannot be read:
// tests/settings.)
TEST(NoxSettings, AMissingOrIncompleteFileOrNoRadioEndsWithStatus1AndSaysWhy) {
  struct Row {
    const char* name;
    std::optional<std::string> file;
    std::string line;
  };
  const std::vector<Row> rows{
      {"no file", std::nullopt, "There is no settings file "},
      {"ten lines", Lines({"a", "", "b", "4800", "8", "None", "1", " 0 ", " 0 ", " 1 "}),
       "Catmux.ini has only 10 of its 23 lines"},
      {"a switch of 7", Lines({"a", "", "b", "4800", "8", "None", "1", " 7 "}),
       "Catmux.ini: line 8 is not 0, 1 or 2"},
      {"too large", std::string(settings::kSettingsFileLimit + 1, '\n'), "could not be read"},
      // App 1 on a virtual port that always opens; the radio's port is not there.
      {"no radio", StationFileText("pty:app1", "no-such-tty"),
       "the radio's port 'no-such-tty' could not be opened; ending with status 1"},
  };
  for (const Row& row : rows) {
    TempFolder folder;
    if (row.file) {
      WriteFile(folder.Path() / "Catmux.ini", *row.file);
    }
    // No --folder: the current folder, as the window program uses it.
    const Finished run = RunToEnd({VANTOREL_NOX_PROGRAM}, 10s);
    EXPECT_EQ(run.status, 1) << row.name;
    EXPECT_NE(run.errors.find(row.line), std::string::npos) << row.name << ": " << run.errors;
    EXPECT_NE(run.errors.find("ending with status 1"), std::string::npos) << row.name;
    if (row.file) {
      EXPECT_EQ(ReadFile(folder.Path() / "Catmux.ini"), *row.file) << row.name;
    }
  }
}

// Each knocks at the site's port with a key-down; the site says who and why,
// and its radio hears nothing of theirs, while home's traffic goes both ways
// (App 1 here an FT-950 client; translating: the outage test).
TEST(PtyRemote, HomesTrafficGoesThroughAndNobodyWithoutATrustedCertificate) {
  RemoteStation station(VANTOREL_NOX_PROGRAM, true, true);  // App 1 as an FT-950 client
  ASSERT_EQ(station.Start(), "");
  // A Vantorel that trusts the site, which does not trust it. Its key is for
  // its owner only (a second pair is refused: the window's test).
  const std::filesystem::path stranger = station.folder.Path() / "stranger";
  ASSERT_EQ(
      RunToEnd({VANTOREL_NOX_PROGRAM, "--folder", stranger.string(), "--make-certificate"}, 10s)
          .status,
      0);
  struct stat key {};
  ASSERT_EQ(::stat((stranger / "vantorel.key").c_str(), &key), 0);
  EXPECT_EQ(key.st_mode & 0777, 0600U);
  std::filesystem::copy_file(station.site / "vantorel.crt", stranger / "trusted" / "site.crt");
  WriteFile(stranger / "Catmux.ini",
            StationFileText("pty:" + (stranger / "app1").string(), "tls:" + station.address,
                            {.noTranslation = true}));
  // Its fingerprint as openssl names it.
  const std::string named = RunToEnd({FindProgram("openssl"), "x509", "-noout", "-fingerprint",
                                      "-sha256", "-in", (stranger / "vantorel.crt").string()},
                                     10s)
                                .output;
  const std::string fingerprint = "SHA-256 " + named.substr(named.find('=') + 1, 95);

  const std::string keyDown = "printf 'TX1;' | ";
  struct Knock {
    std::vector<std::string> argv;
    std::string siteSays;
    std::string itSays{};
  };
  const Knock knocks[] = {
      {{"/bin/sh", "-c", keyDown + "openssl s_client -quiet -connect " + station.address},
       "it showed no certificate"},
      {{"/bin/sh", "-c", keyDown + "socat - TCP:" + station.address},
       "it did not complete a TLS handshake"},
      {{VANTOREL_NOX_PROGRAM, "--folder", stranger.string()},
       "its certificate (" + fingerprint + ") is not one of the 1 in ",
       "its trusted/ folder lacks this station's vantorel.crt (" + fingerprint + ")"},
  };
  for (const Knock& knock : knocks) {
    SCOPED_TRACE(knock.argv.back());
    const std::size_t before = station.siteNox->Errors().size();
    const Finished knocked = RunToEnd(knock.argv, 20s);
    EXPECT_TRUE(station.siteNox->WaitForError("refused 127.0.0.1:", 10s, before));
    EXPECT_NE(station.siteNox->Errors().find(knock.siteSays, before), std::string::npos)
        << station.Logs();
    EXPECT_NE(knocked.errors.find(knock.itSays), std::string::npos) << knocked.errors;
    EXPECT_EQ(station.siteRadio.ReadAvailable(), "");
  }
  station.homeApp1.Write("FA14251300;");
  EXPECT_EQ(station.siteRadio.Read(14, kNoPump), "FA00014251300;") << "home is still through";
  station.siteRadio.Write("FA00007074000;");
  EXPECT_EQ(station.homeApp1.Read(11, kNoPump), "FA07074000;") << station.Logs();
}

// Home's end of the link goes down without a word to the site, which notices
// and unkeys its radio well before its transmit time-out (180 s); how soon is
// a benchmark's figure (bench/remote). Once the link is back, home gets in
// again: the dead connection no longer holds the port.
TEST(PtyRemoteOutage, ASilentOutageUnkeysTheSitesRadioAndFreesThePort) {
  for (const bool encrypted : {true, false}) {
    SCOPED_TRACE(encrypted ? "tls" : "tcp");
    std::string why;
    const auto namespaces = NamespacePair::Make(why);
    if (!namespaces) {
      GTEST_SKIP() << "Skipped, " << why;
    }
    RemoteStation station(VANTOREL_NOX_PROGRAM, encrypted, false, namespaces.get());
    ASSERT_EQ(station.Start(), "");
    ASSERT_TRUE(station.Key()) << station.Logs();
    namespaces->SetLink("down");
    EXPECT_EQ(station.siteRadio.Read(3, kNoPump, 30s), "RX;") << station.Logs();
    EXPECT_TRUE(station.siteNox->WaitForError("unkeyed it (RX;)")) << station.Logs();
    const std::string& log = station.siteNox->Errors();
    EXPECT_NE(log.find(encrypted ? "not even the heartbeat" : "timed out"), std::string::npos);
    // Only the unencrypted port lets in anyone who reaches it, and says so.
    EXPECT_EQ(log.find("anyone who can reach it") != std::string::npos, !encrypted);

    const std::size_t before = log.size();
    namespaces->SetLink("up");
    ASSERT_TRUE(station.siteNox->WaitForError("a program took the other end", 30s, before));
    station.Settle();
    station.homeApp1.Write("FA14251300;");
    EXPECT_EQ(station.siteRadio.Read(14, kNoPump), "FA00014251300;") << station.Logs();
  }
}

}  // namespace
}  // namespace vantorel::testing
