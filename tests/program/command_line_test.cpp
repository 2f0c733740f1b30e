// The programs' command lines, as a user types them: the built programs run as
// processes (the window on the offscreen platform) in a temporary folder.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "child_process.h"
#include "pty_pair.h"
#include "temp_folder.h"
#include "version.h"

namespace vantorel::testing {
namespace {

using namespace std::chrono_literals;

const std::string kWindow = VANTOREL_WINDOW_PROGRAM;
const std::string kNox = VANTOREL_NOX_PROGRAM;
const std::string kSim = VANTOREL_SIM_PROGRAM;

bool Has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

TEST(CommandLine, HelpVersionAndRefusalsOfEachProgram) {
  struct Row {
    std::vector<std::string> argv;
    int status;
    std::string output;    // expected in standard output
    std::string errors;    // expected in standard error
    std::string notShown;  // in neither
  };
  const std::string version = std::string(" ") + kVersion + "\n";
  const std::vector<Row> rows{
      {{kWindow, "--help"}, 0, "--folder <DIR>", "", "--monitor"},
      {{kWindow, "-h"}, 0, "Usage: " + kWindow + " [options]", "", "screenshot"},
      {{kNox, "--help"}, 0, "--monitor <text|hex>", "", "screenshot"},
      {{kWindow, "--version"}, 0, "vantorel" + version, "", "Usage"},
      {{kNox, "--version"}, 0, "vantorel-nox" + version, "", "Usage"},
      {{kWindow, "--frequency", "7"}, 2, "", "vantorel: Unknown option 'frequency'.", ""},
      {{kNox, "--frequency"}, 2, "", "vantorel-nox: Unknown option 'frequency'.", ""},
      {{kWindow, "--monitor", "text"}, 2, "", "Unknown option 'monitor'", ""},
      {{kNox, "--monitor", "loud"}, 2, "", "--monitor takes 'text' or 'hex', not 'loud'", ""},
      {{kNox, "--folder"}, 2, "", "Missing value after '--folder'", ""},
      {{kNox, "Catmux.ini"}, 2, "", "Unexpected argument 'Catmux.ini'", ""},
      {{kSim, "--help"}, 0, "Usage: vantorel-sim [--model NAME] [--link PATH]", "", ""},
      {{kSim, "-h"}, 0, "ts2000    Kenwood TS-2000\n", "", ""},
      {{kSim, "--version"}, 0, "vantorel-sim" + version, "", "Usage"},
      {{kSim, "--frequency"}, 2, "", "Usage: vantorel-sim", ""},
      {{kSim, "--model=ts950"}, 2, "", "Usage: vantorel-sim", ""},
      {{kSim, "--model"}, 2, "", "Usage: vantorel-sim", ""},
  };
  TempFolder folder;
  for (const Row& row : rows) {
    const std::string call = row.argv[0] + " " + row.argv[1];
    const Finished run = RunToEnd(row.argv, 20s);
    EXPECT_EQ(run.status, row.status) << call << "\n" << run.errors;
    EXPECT_TRUE(Has(run.output, row.output)) << call << ": " << run.output;
    EXPECT_TRUE(Has(run.errors, row.errors)) << call << ": " << run.errors;
    if (row.status == 2) {
      EXPECT_TRUE(Has(run.errors, "Usage: ")) << call << ": the usage follows the reason";
      EXPECT_EQ(run.output, "") << call;
    }
    if (!row.notShown.empty()) {
      EXPECT_FALSE(Has(run.output + run.errors, row.notShown)) << call;
    }
    // An answered command line leaves nothing behind in the current folder.
    EXPECT_TRUE(std::filesystem::is_empty(folder.Path())) << call;
  }
}

// The window reads the file from --folder, or without it from the folder it
// was started in (its ports open: the radio hears auto-information on), and
// writes it there at the end. A stop signal (SIGHUP: the terminal went away)
// ends it as Close does: a keyed radio is unkeyed first.
TEST(CommandLine, TheWindowReadsAndWritesItsSettingsInTheFolderGivenOrItsOwn) {
  for (const bool given : {true, false}) {
    SCOPED_TRACE(given ? "--folder" : "the current folder");
    TempFolder started;  // the current folder while it lives
    PtyPair app1End;
    PtyPair radioEnd;
    const std::filesystem::path station = given ? started.Path() / "station" : started.Path();
    std::filesystem::create_directories(station);
    WriteFile(station / "Catmux.ini", StationFileText(app1End.Path(), radioEnd.Path()));
    ChildProcess window(given ? std::vector<std::string>{kWindow, "--folder", station.string()}
                              : std::vector<std::string>{kWindow});
    const auto noPump = [] {};
    EXPECT_EQ(radioEnd.Read(4, noPump, 10s), "AI1;") << window.Errors();
    app1End.Write("MX1;");
    EXPECT_EQ(radioEnd.Read(14, noPump), "TX1;TX;RM;MX1;");
    window.Signal(given ? SIGHUP : SIGTERM);
    EXPECT_EQ(radioEnd.Read(3, noPump), "RX;");
    EXPECT_EQ(window.Wait(30s), 0) << window.Errors();
    EXPECT_FALSE(Has(window.Errors(), "Unable to open")) << window.Errors();
    EXPECT_EQ(ReadFile(station / "Catmux.ini"),
              StationFileText(app1End.Path(), radioEnd.Path(), {.saved = true}));
    EXPECT_TRUE(std::filesystem::exists(station / "TEST.TXT"));
    EXPECT_EQ(std::filesystem::exists(started.Path() / "Catmux.ini"), !given);
  }
}

// A folder that is not there yet is made, parents and all.
TEST(CommandLine, BothProgramsMakeAMissingFolder) {
  for (const std::string& program : {kWindow, kNox}) {
    TempFolder started;
    const std::filesystem::path station = started.Path() / "config" / "vantorel";
    ChildProcess child({program, "--folder", station.string()});
    // The window starts with the design-time values and waits; the service
    // without a settings file ends.
    if (program == kWindow) {
      // TEST.TXT is made at load, after the stop signals are watched.
      PumpUntil([&] { return std::filesystem::exists(station / "TEST.TXT"); },
                [] { std::this_thread::sleep_for(10ms); }, 20s);
      child.Signal(SIGTERM);
    }
    const auto status = child.Wait(30s);
    EXPECT_EQ(status, program == kWindow ? 0 : 1) << program << "\n" << child.Errors();
    EXPECT_TRUE(std::filesystem::is_directory(station)) << program;
    EXPECT_TRUE(std::filesystem::exists(station / "TEST.TXT")) << program;
    EXPECT_EQ(std::filesystem::exists(station / "Catmux.ini"), program == kWindow) << program;
  }
}

}  // namespace
}  // namespace vantorel::testing
