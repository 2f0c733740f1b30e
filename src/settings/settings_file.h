// The settings file "Catmux.ini": the port and line settings, the option
// switches and the two program paths, one value per line, known by position
// only. Twenty-three lines, each ended by CR LF, and a 24th that this program
// adds (programs that know only 23 lines read past it):
//
//   text lines   the text as it stands, byte for byte
//   number lines a switch's value with a blank on each side (" 1 ")
//   truth lines  "True" or "False"
//
// Line 12 (KenwoodCB) is written but not taken on reading: it follows from the
// mode once the whole file was read. Lines 2, 10 and 11 (App 2's port, whether
// App 2 is out of use, whether it hears the radio) are taken: a program that
// could not show them wrote there what it started with (empty, ticked,
// ticked), so its files read as before.
//
// Threading: the program's one thread only. Plain C++, no Qt.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "settings/settings.h"

namespace vantorel::settings {

inline constexpr const char* kSettingsFileName = "Catmux.ini";
inline constexpr const char* kBackupSuffix = ".bak";
// The lines a complete file has; Start is pressed at load only for one.
inline constexpr int kSettingsLineCount = 23;

enum class SettingsLoad {
  NoFile,      // no settings file: every setting keeps its value
  Unreadable,  // the file exists but cannot be read; nothing taken
  Refused,     // a number line is not a switch value: reading stopped there
  Incomplete,  // the file ended before its last line
  Complete,    // every line was read and taken
};

struct SettingsLoadResult {
  SettingsLoad outcome = SettingsLoad::NoFile;
  int linesRead = 0;   // lines taken from the file, the refused one included
  std::string reason;  // why an existing file could not be read
};

// Reads the file into `settings`, line by line, as far as it goes. A line may
// end in CR LF, LF or CR. A number line is read as its leading number rounded
// half to even; a value other than 0, 1 or 2 stops the reading with the
// earlier lines taken. Only a complete file sets kenwoodCB: ticked when App 2
// is out of use and translation is on, else clear.
SettingsLoadResult LoadSettings(const std::filesystem::path& file, Settings& settings);

// The lines for these settings, without line ends.
std::vector<std::string> SettingsLines(const Settings& settings);

// Writes the file anew, atomically: the lines go to a new file beside it,
// which then takes the old one's place, so a crash or a full disk never leaves
// half a file. Returns nothing on success, else why it could not be written.
std::optional<std::string> SaveSettings(const Settings& settings,
                                        const std::filesystem::path& file);

// The settings file of one folder. It remembers whether the file was read
// whole: one that was not is copied to "Catmux.ini.bak" before it is first
// written over, so nothing the program could not read is lost.
class SettingsFile {
 public:
  explicit SettingsFile(const std::filesystem::path& folder) : path_(folder / kSettingsFileName) {}

  [[nodiscard]] const std::filesystem::path& Path() const { return path_; }

  SettingsLoadResult Load(Settings& settings);
  // For a file there that could not be read whole: what is wrong with it.
  [[nodiscard]] std::optional<std::string> LoadFault() const;
  // The same, with what becomes of the file: what the window's user should know.
  [[nodiscard]] std::optional<std::string> LoadProblem() const;

  // Returns nothing on success, else why the file could not be written.
  std::optional<std::string> Save(const Settings& settings);

 private:
  std::filesystem::path path_;
  SettingsLoadResult loaded_;
  bool backupDue_ = false;
};

}  // namespace vantorel::settings
