// vantorel-nox as a process, as a service manager runs it: its Catmux.ini in
// a folder of its own (--folder, beside the test's current folder), App 1 and
// the radio played on real pseudo-terminals (the suites named "Pty"), and the
// settings file's own refusals (no terminals needed).
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

std::unique_ptr<ChildProcess> StartNox(const std::filesystem::path& folder,
                                       const std::vector<std::string>& more = {}) {
  std::vector<std::string> argv{VANTOREL_NOX_PROGRAM, "--folder", folder.string()};
  argv.insert(argv.end(), more.begin(), more.end());
  return std::make_unique<ChildProcess>(argv);
}

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
    nox = StartNox(station, more);
    ASSERT_EQ(radioEnd.Read(4, kNoPump, 10s), "AI1;") << nox->Errors();
  }

  TempFolder folder;
  std::filesystem::path station = folder.Path() / "station";
  PtyPair app1End;
  PtyPair radioEnd;
  std::unique_ptr<ChildProcess> nox;
};

TEST_F(PtyNox, TranslatesApp1sCommandsAndTheRadiosAnswersAndLogsTheMonitor) {
  WriteFile(SettingsFile(), FileText());
  Start({"--monitor", "hex"});
  app1End.Write("FA14251300;");
  EXPECT_EQ(radioEnd.Read(14, kNoPump), "FA00014251300;");
  EXPECT_EQ(app1End.Read(22, kNoPump), "FA14251300;FA14251300;");
  radioEnd.Write("FA00007074000;");
  EXPECT_EQ(app1End.Read(11, kNoPump), "FA07074000;");

  nox->Signal(SIGINT);
  EXPECT_EQ(nox->Wait(kEndLimit), 0);
  // App 1's block in the monitor's hexadecimal form, and what the radio got.
  EXPECT_NE(nox->Errors().find("from App 1: 464131343235313330303B"), std::string::npos)
      << nox->Errors();
  EXPECT_NE(nox->Errors().find("to the radio: FA00014251300;"), std::string::npos);
}

TEST_F(PtyNox, SigtermWhileKeyedUnkeysTheRadioEndsWithStatus0AndSavesTheSettings) {
  WriteFile(SettingsFile(), FileText());
  Start();
  app1End.Write("MX1;");
  EXPECT_EQ(radioEnd.Read(14, kNoPump), "TX1;TX;RM;MX1;");

  nox->Signal(SIGTERM);
  EXPECT_EQ(radioEnd.Read(3, kNoPump), "RX;");
  EXPECT_EQ(nox->Wait(kEndLimit), 0) << nox->Errors();
  // Saved: the same settings, with the line this program adds.
  EXPECT_EQ(ReadFile(SettingsFile()), FileText({.saved = true}));
  EXPECT_TRUE(std::filesystem::exists(station / "TEST.TXT"));
  EXPECT_FALSE(std::filesystem::exists(folder.Path() / "Catmux.ini")) << "not the current folder";
}

TEST_F(PtyNox, SighupAppliesTheEditedFile) {
  WriteFile(SettingsFile(), FileText());
  Start();
  WriteFile(SettingsFile(), FileText({.noTranslation = true}));
  nox->Signal(SIGHUP);
  // Stopped and started again: the radio hears auto-information on anew.
  ASSERT_EQ(radioEnd.Read(4, kNoPump, 10s), "AI1;") << nox->Errors();
  // "No Translation" ticked: App 1's text reaches the radio as it came.
  app1End.Write("FA14251300;");
  EXPECT_EQ(radioEnd.Read(11, kNoPump), "FA14251300;");
  radioEnd.Write("FA00007074000;");
  EXPECT_EQ(app1End.Read(14, kNoPump), "FA00007074000;");

  nox->Signal(SIGTERM);
  EXPECT_EQ(nox->Wait(kEndLimit), 0);
  EXPECT_EQ(ReadFile(SettingsFile()), FileText({.noTranslation = true, .saved = true}));
}

// A reload opens again only what changed: App 1's program, here on the
// station's own virtual port, keeps its open port and its link.
TEST_F(PtyNox, SighupWithAnUnchangedFileKeepsApp1sPortOpen) {
  const std::string link = (station / "app1").string();
  WriteFile(SettingsFile(), StationFileText("pty:" + link, radioEnd.Path()));
  nox = StartNox(station);
  ASSERT_EQ(radioEnd.Read(4, kNoPump, 10s), "AI1;") << nox->Errors();
  const TerminalClient app1(link);
  const auto terminal = std::filesystem::read_symlink(link);
  nox->Signal(SIGHUP);
  ASSERT_EQ(radioEnd.Read(4, kNoPump, 10s), "AI1;") << nox->Errors();
  app1.Send("FA14251300;");
  EXPECT_EQ(radioEnd.Read(14, kNoPump), "FA00014251300;") << nox->Errors();
  EXPECT_EQ(std::filesystem::read_symlink(link), terminal);
  nox->Signal(SIGTERM);
  EXPECT_EQ(nox->Wait(kEndLimit), 0);
}

// A radio away at a reload is a loss while running: tried again, not an end.
TEST_F(PtyNox, SighupWhileTheRadioIsAwayKeepsRunningAndSigtermEndsWith0) {
  WriteFile(SettingsFile(), FileText());
  Start();
  const std::string away = StationFileText(app1End.Path(), (station / "no-such-tty").string());
  WriteFile(SettingsFile(), away);
  nox->Signal(SIGHUP);
  ASSERT_TRUE(nox->WaitForError("The radio's port was lost and is being tried again"))
      << nox->Errors();
  nox->Signal(SIGTERM);
  EXPECT_EQ(nox->Wait(kEndLimit), 0) << nox->Errors();
  EXPECT_EQ(ReadFile(SettingsFile()), away + "False\r\nauto\r\n") << "saved at the end";
}

// A half-written edit is no reason to drop the station: the bridge goes on as
// it was, and the end does not write over the user's file.
TEST_F(PtyNox, SighupWithAnIncompleteFileKeepsTheBridgeAndTheFile) {
  WriteFile(SettingsFile(), FileText());
  Start();
  const std::string halfEdited = Lines({app1End.Path(), "", radioEnd.Path(), "38400"});
  WriteFile(SettingsFile(), halfEdited);
  nox->Signal(SIGHUP);
  ASSERT_TRUE(nox->WaitForError("goes on with the settings it has")) << nox->Errors();
  app1End.Write("FA14251300;");
  EXPECT_EQ(radioEnd.Read(14, kNoPump), "FA00014251300;") << "still translating";

  nox->Signal(SIGTERM);
  EXPECT_EQ(nox->Wait(kEndLimit), 0);
  EXPECT_EQ(ReadFile(SettingsFile()), halfEdited);
  EXPECT_NE(nox->Errors().find("has only 4 of its 23 lines"), std::string::npos);
}

TEST_F(PtyNox, ARadioPortThatCannotBeOpenedEndsWithStatus1AndALogLine) {
  const std::string written = StationFileText(app1End.Path(), (station / "no-such-tty").string());
  WriteFile(SettingsFile(), written);
  nox = StartNox(station);
  EXPECT_EQ(nox->Wait(kEndLimit), 1);
  EXPECT_NE(nox->Errors().find("Unable to open Radio port . Possible Conflict. (Cannot open "),
            std::string::npos)
      << nox->Errors();
  EXPECT_NE(nox->Errors().find("the radio's port '" + (station / "no-such-tty").string() +
                               "' could not be opened; ending with status 1"),
            std::string::npos)
      << nox->Errors();
  EXPECT_EQ(ReadFile(SettingsFile()), written) << "a failed start writes nothing";
}

// A radio whose device goes away is tried again while the service runs (the
// device may come back); the loss is logged once, and a stop signal still ends
// the service in order.
TEST_F(PtyNox, ALostRadioIsTriedAgainUntilTheServiceStops) {
  WriteFile(SettingsFile(), FileText());
  Start();
  radioEnd.Close();
  // The loss shows when the station next writes to the radio.
  app1End.Write("FA;");
  ASSERT_TRUE(nox->WaitForError("being tried again", kEndLimit)) << nox->Errors();
  nox->Signal(SIGTERM);
  EXPECT_EQ(nox->Wait(kEndLimit), 0) << nox->Errors();
}

// Without a complete settings file there is nothing to run: a service
// manager is told so by the status, the owner by the line.
TEST(NoxSettings, AMissingOrIncompleteFileEndsWithStatus1AndSaysWhy) {
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
  // Something that is no file is refused without waiting on it, and left.
  const TempFolder folder;
  std::filesystem::create_directory("Catmux.ini");
  for (const std::string reason : {"Is a directory", "Is a FIFO, not a file"}) {
    const Finished run = RunToEnd({VANTOREL_NOX_PROGRAM}, 10s);
    EXPECT_EQ(run.status, 1) << reason;
    EXPECT_NE(run.errors.find("Catmux.ini could not be read: " + reason), std::string::npos)
        << run.errors;
    EXPECT_FALSE(std::filesystem::is_regular_file("Catmux.ini"));
    std::filesystem::remove("Catmux.ini");
    mkfifo("Catmux.ini", 0600);
  }
}

}  // namespace
}  // namespace vantorel::testing
