// vantorel-nox as a process, as a service manager runs it: its Catmux.ini in
// a folder of its own (--folder, beside the test's current folder), App 1 and
// the radio played on real pseudo-terminals (the suites named "Pty"), and the
// settings file's own refusals (no terminals needed).
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "child_process.h"
#include "pty_pair.h"
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
  void Start(const std::vector<std::string>& more = {}) {
    std::vector<std::string> argv{VANTOREL_NOX_PROGRAM, "--folder", station.string()};
    argv.insert(argv.end(), more.begin(), more.end());
    nox = std::make_unique<ChildProcess>(argv);
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
  EXPECT_EQ(ReadFile(SettingsFile()), away + "False\r\n") << "saved at the end";
}

// Without a complete settings file or the radio's port there is nothing to
// run: a service manager is told so by the status, the owner by the line; a
// failed start writes nothing. (A file that cannot be read at all takes the
// same way out; its reasons: tests/settings.)
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

}  // namespace
}  // namespace vantorel::testing
