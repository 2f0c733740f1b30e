// The settings file "Catmux.ini" on real files in a temporary folder: what is
// written, what reading takes, where it stops, and that nothing the program
// could not read is lost.
#include "settings/settings_file.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "settings/apps_file.h"
#include "temp_folder.h"

namespace vantorel::settings {
namespace {

namespace fs = std::filesystem;
using testing::Lines;
using testing::ReadFile;
using testing::WriteFile;

// A complete file: every taken line differs from a new installation's value.
// The program paths of lines 13 and 14 come again as lines 19 and 20, which win.
std::vector<std::string> FullFile() {
  // clang-format off
  return {"COM11", "COM12", "COM3", "4800", "7", "Even", "2",  // ports, the radio's line
          " 1 ", " 1 ", " 0 ", " 0 ", " 0 ",         // Ignore1/1Out, Ignore2/2Out, KenwoodCB
          "/opt/first/one", "/opt/first/two",        // App1Name, App2Name
          " 0 ", " 0 ", " 0 ", "240",                // PWROn, Check2, MonitorTX, ShutDwn
          "", "/opt/rigdesk/Rigdesk",                // App1Name, App2Name again
          "False", "True", "Rigdesk"};               // Option1(0), Option1(1), Text7
  // clang-format on
}

class SettingsFileTest : public ::testing::Test {
 protected:
  SettingsLoadResult LoadText(const std::string& text, Settings& into) {
    WriteFile(path, text);
    return LoadSettings(path, into);
  }
  // The complete file with some lines (numbered from 0) changed.
  SettingsLoadResult LoadChanged(const std::map<int, std::string>& changes, Settings& into) {
    std::vector<std::string> lines = FullFile();
    for (const auto& [at, line] : changes) {
      lines[at] = line;
    }
    return LoadText(Lines(lines), into);
  }

  testing::TempFolder folder;
  fs::path path = folder.Path() / kSettingsFileName;
};

TEST_F(SettingsFileTest, WritesEveryLineAndReadsBackWhatItTakes) {
  Settings s;
  ASSERT_EQ(LoadText(Lines(FullFile()), s).outcome, SettingsLoad::Complete);
  // LF alone and CR alone (an old editor's file) read as CR LF does, and so do
  // a missing last line end and lines after the last.
  std::string noLastEnd = Lines(FullFile());
  noLastEnd.resize(noLastEnd.size() - 2);
  for (const std::string& text : {Lines(FullFile(), "\n"), Lines(FullFile(), "\r"), noLastEnd,
                                  Lines(FullFile()) + "False\r\nauto\r\nextra\r\n"}) {
    Settings other;
    EXPECT_EQ(LoadText(text, other).outcome, SettingsLoad::Complete);
    EXPECT_EQ(other, s);
  }
  s.ft950Emulation = true;
  ASSERT_EQ(SaveSettings(s, path), std::nullopt);
  std::vector<std::string> expected = FullFile();
  expected[12] = "";  // App1Name is written twice from its one value
  expected[13] = "/opt/rigdesk/Rigdesk";
  expected.push_back("True");
  expected.push_back("auto");
  EXPECT_EQ(ReadFile(path), Lines(expected));

  Settings again;
  EXPECT_EQ(LoadSettings(path, again).outcome, SettingsLoad::Complete);
  EXPECT_EQ(again, s);
  // What the station is given of it.
  EXPECT_EQ(ToOptions(s).transmitLimit, "240");
  EXPECT_EQ(ToOptions(s).profile, station::Profile::Emulation);
  EXPECT_EQ(ToPortSetup(s).radioSettings, "4800,E,7,2");
  EXPECT_EQ(ToPortSetup(s).radio, "COM3");
}

// A file written by a program that could not show App 2's port and switches
// holds there what it started with, so taking those lines changes nothing.
TEST_F(SettingsFileTest, AppTwoLinesOfAProgramThatCouldNotShowThemChangeNothing) {
  Settings s;
  LoadChanged({{1, ""}, {9, " 1 "}, {10, " 1 "}}, s);
  const Settings fresh;
  EXPECT_EQ(std::tie(s.soft2Com, s.ignore2, s.ignore2Out, s.kenwoodCB),
            std::tie(fresh.soft2Com, fresh.ignore2, fresh.ignore2Out, fresh.kenwoodCB));
  EXPECT_EQ(station::ModeOf(ToOptions(s)), station::Mode::Translating);

  // App 2 in use and hearing the radio, as the window now allows.
  LoadChanged({{1, "COM12"}, {9, " 0 "}, {10, " 0 "}}, s);
  EXPECT_EQ(s.soft2Com, "COM12");
  EXPECT_EQ(station::ModeOf(ToOptions(s)), station::Mode::Sharing);
  EXPECT_EQ(ToOptions(s).ignoreToApp2, Check::Clear);
}

TEST_F(SettingsFileTest, AShortOrRefusedFileKeepsWhatItReadUpToThere) {
  Settings s;
  EXPECT_EQ(LoadText("", s).outcome, SettingsLoad::Incomplete);
  EXPECT_EQ(s, Settings{});

  const SettingsLoadResult refused = LoadChanged({{8, " 3 "}}, s);  // Ignore1Out: refused
  EXPECT_EQ(refused.outcome, SettingsLoad::Refused);
  EXPECT_EQ(refused.linesRead, 9);
  EXPECT_EQ(s.ignore1, Check::Ticked);
  EXPECT_EQ(s.ignore1Out, Check::Clear);

  std::vector<std::string> lines = FullFile();
  lines[9] = " 1 ";   // App 2 out of use: translating...
  lines[15] = " 1 ";  // ... but No Translation clears KenwoodCB in a complete file
  lines.pop_back();
  s = Settings{};
  EXPECT_EQ(LoadText(Lines(lines), s).outcome, SettingsLoad::Incomplete);
  EXPECT_TRUE(s.useApp2);
  EXPECT_EQ(s.kenwoodCB, Check::Ticked);
  lines.push_back("x");
  EXPECT_EQ(LoadText(Lines(lines), s).outcome, SettingsLoad::Complete);
  EXPECT_EQ(s.kenwoodCB, Check::Clear);
  EXPECT_EQ(station::ModeOf(ToOptions(s)), station::Mode::NoTranslation);
}

// Letters give 0 and reading goes on; a value that is no switch stops it.
TEST_F(SettingsFileTest, NumberLines) {
  const std::pair<const char*, int> numbers[] = {
      {" 1 ", 1}, {"2", 2},    {"Yes", 0}, {"", 0},     {" 1;", 1},  {"0.5", 0},    {"1.5", 2},
      {"2.5", 2}, {" 3 ", -1}, {"-1", -1}, {"2.6", -1}, {"1e9", -1}, {"99999", -1},
  };
  for (const auto& [line, value] : numbers) {
    Settings s;
    const auto result = LoadChanged({{7, line}}, s);  // Ignore1
    EXPECT_EQ(result.outcome, value < 0 ? SettingsLoad::Refused : SettingsLoad::Complete) << line;
    EXPECT_EQ(NumberOf(s.ignore1), std::max(value, 0)) << line;
  }
}

// A Windows-1252 program path or a device name with a byte that is not UTF-8
// comes back exactly as it was, and a line break in a text is no line end.
TEST_F(SettingsFileTest, TextLinesKeepTheirBytes) {
  std::vector<std::string> lines = FullFile();
  for (const int line : {0, 2, 3, 4, 5, 6, 12}) {
    lines[line] = "/dev/caf\xe9-\xff\x80" + std::to_string(line);
  }
  Settings s;
  LoadText(Lines(lines), s);
  SaveSettings(s, path);
  const std::string written = "\r\n" + ReadFile(path);  // every line between two ends
  for (const int line : {0, 2, 3, 4, 5, 6}) {
    EXPECT_NE(written.find("\r\n" + lines[line] + "\r\n"), std::string::npos) << line;
  }
  EXPECT_EQ(s.app1Name, "") << "line 19 wins over line 13";
  s.app1Name = lines[12];
  EXPECT_EQ(SettingsLines(s)[12], lines[12]);

  // A line break in a text cannot shift the lines.
  s.shutDwn = "18\r\n0";
  SaveSettings(s, path);
  Settings again;
  EXPECT_EQ(LoadSettings(path, again).outcome, SettingsLoad::Complete);
  EXPECT_EQ(again.shutDwn, "18  0");
  EXPECT_EQ(again.text7, s.text7);
}

// A file the program could not read whole is copied before it is written over.
TEST_F(SettingsFileTest, APartlyReadFileIsKeptAsBak) {
  const std::string old = Lines({"COM4", "", "COM7"}, "\r");
  WriteFile(path, old);
  SettingsFile file(folder.Path());
  Settings s;
  file.Load(s);
  EXPECT_EQ(s.radioCom, "COM7");
  ASSERT_TRUE(file.LoadProblem());
  EXPECT_NE(file.LoadProblem()->find("Catmux.ini.bak"), std::string::npos);
  EXPECT_EQ(file.Save(s), std::nullopt);
  EXPECT_EQ(ReadFile(folder.Path() / "Catmux.ini.bak"), old);
  EXPECT_EQ(ReadFile(path), Lines(SettingsLines(s)));

  // A second file read in part gets a backup of its own: the first stays.
  WriteFile(path, "COM5\r\n");
  file.Load(s);
  EXPECT_NE(file.LoadProblem()->find("kept as Catmux.ini.bak.2"), std::string::npos);
  EXPECT_EQ(file.Save(s), std::nullopt);
  EXPECT_EQ(ReadFile(folder.Path() / "Catmux.ini.bak"), old);
  EXPECT_EQ(ReadFile(folder.Path() / "Catmux.ini.bak.2"), "COM5\r\n");

  SettingsFile whole(folder.Path());
  whole.Load(s);
  EXPECT_FALSE(whole.LoadProblem());
  fs::remove(folder.Path() / "Catmux.ini.bak");
  whole.Save(s);
  EXPECT_FALSE(fs::exists(folder.Path() / "Catmux.ini.bak")) << "a whole file needs no copy";
}

// A full disk in the middle of the save leaves the old file whole: here the
// file size limit stops the write half-way, in a child process.
TEST_F(SettingsFileTest, ASaveThatFailsHalfWayLeavesTheOldFileWhole) {
  WriteFile(path, Lines(FullFile()));
  Settings big;
  big.app1Name.assign(4096, 'x');
  const pid_t child = fork();
  if (child == 0) {
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{1024, 1024};
    setrlimit(RLIMIT_FSIZE, &limit);
    _exit(SaveSettings(big, path) ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "the save reports its failure";
  EXPECT_EQ(ReadFile(path), Lines(FullFile()));
  EXPECT_EQ(std::distance(fs::directory_iterator(folder.Path()), fs::directory_iterator()), 1)
      << "no half-written file is left beside it";
}

// Only a regular file of bounded size is read: a folder, a FIFO (which would
// wait for a writer), a device (endless) or a larger file is refused with its
// reason, and nothing is written over it.
TEST_F(SettingsFileTest, AnythingButAFileOfBoundedSizeIsRefusedAndLeftAsItIs) {
  const std::vector<std::pair<std::function<void()>, std::string>> rows{
      {[&] { fs::create_directory(path); }, "Is a directory"},
      {[&] { ASSERT_EQ(mkfifo(path.c_str(), 0600), 0); }, "Is a FIFO, not a file"},
      // An endless device of its own (as root), so that nothing here can
      // touch the system's; else a link to one that swallows what it gets.
      {[&] {
         if (mknod(path.c_str(), S_IFCHR | 0600, makedev(1, 5)) != 0) {
           fs::create_symlink("/dev/null", path);
         }
       },
       "Is a device, not a file"},
      {[&] { WriteFile(path, std::string(kSettingsFileLimit + 1, '\n')); }, "Is larger than"},
  };
  for (const auto& [make, reason] : rows) {
    SCOPED_TRACE(reason);
    make();
    const fs::file_status before = fs::symlink_status(path);
    SettingsFile file(folder.Path());
    Settings s;
    EXPECT_EQ(file.Load(s).outcome, SettingsLoad::Unreadable);
    EXPECT_EQ(s, Settings{});
    EXPECT_NE(file.LoadProblem().value_or("").find(reason), std::string::npos)
        << file.LoadProblem().value_or("");
    EXPECT_TRUE(file.Save(s));
    if (reason != "Is larger than") {  // nor would a save alone
      EXPECT_TRUE(SaveSettings(s, path).has_value());
    }
    EXPECT_EQ(fs::symlink_status(path).type(), before.type());
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.Path()), fs::directory_iterator()), 1);
    fs::remove_all(path);
  }
}

// A save writes the file a link points to, in that file's folder, and keeps
// its owner, group and mode (a run by root must not take it from the
// service's user), and the lines after the known ones as they were.
TEST_F(SettingsFileTest, ASaveKeepsTheLinkTheOwnerTheModeAndTheUnknownLines) {
  const fs::path real = folder.Path() / "real" / kSettingsFileName;
  fs::create_directory(real.parent_path());
  const std::string tail = "extra=1\r\n\r\nno line end";
  WriteFile(real, Lines(FullFile()) + "True\r\nTS-890S\r\n" + tail);
  ASSERT_EQ(chmod(real.c_str(), 0640), 0);
  const bool root = geteuid() == 0;  // only root may give a file away
  ASSERT_TRUE(!root || chown(real.c_str(), 4321, 4322) == 0);
  fs::create_symlink(fs::path("real") / kSettingsFileName, path);
  SettingsFile file(folder.Path());
  Settings s;
  file.Load(s);
  ASSERT_EQ(file.Save(s), std::nullopt);
  EXPECT_TRUE(fs::is_symlink(path));
  EXPECT_EQ(ReadFile(real), Lines(SettingsLines(s)) + tail);
  struct stat after {};
  stat(real.c_str(), &after);
  EXPECT_EQ(after.st_mode & 07777, 0640U);
  EXPECT_EQ(std::pair(after.st_uid, after.st_gid),
            root ? std::pair(4321U, 4322U) : std::pair(getuid(), getgid()));
  EXPECT_EQ(std::distance(fs::directory_iterator(real.parent_path()), fs::directory_iterator()), 1);
}

// Only "True" chooses; a near miss is taken as "False" and named in a warning.
// Of the two App choices (lines 21 and 22) the later wins.
TEST_F(SettingsFileTest, TruthLines) {
  const std::tuple<const char*, const char*, bool, bool> truths[] = {
      {"True", "False", true, false},
      {"True", "True", false, true},
      {"False", "False", false, false},
      {"true", "TRUE", false, false},
  };
  for (const auto& [first, second, use1, use2] : truths) {
    Settings s;
    LoadChanged({{20, first}, {21, second}}, s);
    EXPECT_EQ(std::pair(s.useApp1, s.useApp2), std::pair(use1, use2)) << first << second;
  }
  for (const std::string line : {"True", "False", "TRUE", "True ", "maybe", ""}) {
    WriteFile(path, Lines(FullFile()) + line + "\r\n");
    SettingsFile file(folder.Path());
    Settings s;
    file.Load(s);
    EXPECT_EQ(s.ft950Emulation, line == "True") << line;
    const std::string warning =
        path.string() + ": line 24 is \"" + line + "\", neither True nor False: taken as False";
    EXPECT_EQ(file.LoadWarnings(), line == "True" || line == "False" ? std::vector<std::string>{}
                                                                     : std::vector{warning});
  }
}

// Line 25 names the radio model; a file without it learns the radio, and a
// name no model has is kept as it is, warned of and read as "auto".
TEST_F(SettingsFileTest, TheRadioModelLine) {
  for (const auto& [tail, model] : {std::pair{"", "auto"},
                                    {"True\r\n", "auto"},
                                    {"True\r\nts-2000\r\n", "ts-2000"},
                                    {"True\r\nFT-991\r\n", "FT-991"}}) {
    WriteFile(path, Lines(FullFile()) + tail);
    SettingsFile file(folder.Path());
    Settings s;
    s.radioModel = "TS-480";
    file.Load(s);
    EXPECT_EQ(ToOptions(s).radioModel, model);
    EXPECT_EQ(file.LoadWarnings().size(), std::string(model) == "FT-991" ? 1U : 0U) << model;
  }
}

// Apps.ini: each section judged alone; a bad one is told with its name and
// line and skipped, the others taken in file order.
TEST(AppsFileTest, TakesGoodSectionsAndTellsEachBadOne) {
  using station::AppDialect;
  const AppsRead read = ParseApps(
      "; the station's programs\r\n"
      "[WSJT-X]\r\nPort=rigctld:4532\r\n"
      "[Logger]\r\n  port = pty:/run/vantorel/logger \r\nDialect=KENWOOD\r\n"
      "[No dialect]\nPort=pty:/tmp/a\n"
      "[Icom]\nPort=pty:/tmp/b\nDialect=icom\n"
      "[Server]\nPort=rigctld:4533\nDialect=ft950\n"
      "[wsjt-x]\nPort=rigctld:4534\n"
      "[Odd]\nBaud=9600\nPort=pty:/tmp/c\nDialect=ft950\n"
      "[]\nPort=pty:/tmp/d\nDialect=ft950\n"
      "[FT-950 client]\nPort=tcp-listen:4535\nDialect=ft950");
  const std::vector<station::ApplicationSetup> apps{
      {"WSJT-X", "rigctld:4532", AppDialect::Rigctld},
      {"Logger", "pty:/run/vantorel/logger", AppDialect::Kenwood},
      {"FT-950 client", "tcp-listen:4535", AppDialect::Ft950}};
  EXPECT_EQ(read.apps, apps);
  const std::vector<std::string> faults{
      "Apps.ini line 7: [No dialect]: it names no Dialect (kenwood or ft950); skipped",
      "Apps.ini line 9: [Icom]: Dialect \"icom\" is neither kenwood nor ft950; skipped",
      "Apps.ini line 12: [Server]: a rigctld: port takes no Dialect; skipped",
      "Apps.ini line 15: [wsjt-x]: another section has that name; skipped",
      "Apps.ini line 17: [Odd]: line 18 is neither Port= nor Dialect=; skipped",
      "Apps.ini line 21: []: a section's name is written [NAME]; skipped"};
  EXPECT_EQ(read.faults, faults);
  // Written back, it reads as it was.
  EXPECT_EQ(ParseApps(AppsText(apps)).apps, apps);
}

TEST(AppsFileTest, TakesAtMostEightAndLeavesAMissingFileEmpty) {
  std::string text;
  for (int i = 1; i <= 9; ++i) {
    text += "[App " + std::to_string(i) + "]\nPort=rigctld:" + std::to_string(4530 + i) + "\n";
  }
  const AppsRead read = ParseApps(text);
  EXPECT_EQ(read.apps.size(), station::kMostApplications);
  ASSERT_EQ(read.faults.size(), 1U);
  EXPECT_NE(read.faults[0].find("[App 9]: more than 8 applications"), std::string::npos);

  testing::TempFolder folder;
  EXPECT_TRUE(LoadApps(folder.Path()).apps.empty());
  EXPECT_TRUE(LoadApps(folder.Path()).faults.empty());
  ASSERT_EQ(SaveApps(folder.Path(), read.apps), std::nullopt);
  EXPECT_EQ(LoadApps(folder.Path()).apps, read.apps);
  std::filesystem::remove(folder.Path() / kAppsFileName);
  std::filesystem::create_directory(folder.Path() / kAppsFileName);
  EXPECT_EQ(LoadApps(folder.Path()).faults.size(), 1U);
  EXPECT_TRUE(SaveApps(folder.Path(), read.apps).has_value());
}

}  // namespace
}  // namespace vantorel::settings
