// The settings file "Catmux.ini": the port and line settings, the option
// switches and the two program paths, one value per line, known by position
// only. Twenty-three lines, each ended by CR LF, and a 24th and 25th that
// this program adds (programs that know only 23 lines read past them): the
// FT-950 emulation's switch, and the Kenwood model it speaks to ("auto", or
// the model's name; a file without the line reads as "auto").
//
//   text lines   the text as it stands, byte for byte
//   number lines a switch's value with a blank on each side (" 1 ")
//   truth lines  "True" or "False"
//
// Lines after the 25th, which this program does not know, are written back as
// they were. Line 12 (KenwoodCB) is written but not taken on reading: it
// follows from the mode once the whole file was read. Lines 2, 10 and 11 (App 2's port, whether
// App 2 is out of use, whether it hears the radio) are taken: a program that
// could not show them wrote there what it started with (empty, ticked,
// ticked), so its files read as before.
//
// Threading: the program's one thread only. Plain C++, no Qt.
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "settings/settings.h"

namespace vantorel::settings {

inline constexpr const char* kSettingsFileName = "Catmux.ini";
inline constexpr const char* kBackupSuffix = ".bak";
// The lines a complete file has; Start is pressed at load only for one.
inline constexpr int kSettingsLineCount = 23;
// The most a settings file may hold. Its lines take well under 2 KiB; anything
// larger is no settings file (a log, an image, /dev/zero behind a link), and
// reading it whole would cost memory without bound.
inline constexpr std::size_t kSettingsFileLimit = 16 * 1024;

enum class SettingsLoad {
  NoFile,      // no settings file: every setting keeps its value
  Unreadable,  // there is something, but no file that can be read; nothing taken
  Refused,     // a number line is not a switch value: reading stopped there
  Incomplete,  // the file ended before its last line
  Complete,    // every line was read and taken
};

struct SettingsLoadResult {
  SettingsLoad outcome = SettingsLoad::NoFile;
  int linesRead = 0;   // lines taken from the file, the refused one included
  std::string reason;  // why an existing file could not be read
  // Lines taken, but not as they should be written ("line 24 is \"TRUE\"...").
  std::vector<std::string> warnings;
  // A complete file's text after its last known line, as it stands.
  std::string unknownLines;
};

// The text of a settings file, read without waiting and without reading past
// kSettingsFileLimit. A link is followed. Only a regular file is read: a
// folder, a FIFO, a device or a larger file is refused with its reason.
struct SettingsText {
  bool exists = false;              // something is there (or a link to it)
  std::optional<std::string> text;  // nothing when missing or refused
  std::string reason;               // why it was refused
};
SettingsText ReadSettingsText(const std::filesystem::path& file);

// Reads the file into `settings`, line by line, as far as it goes. A line may
// end in CR LF, LF or CR. A number line is read as its leading number rounded
// half to even; a value other than 0, 1 or 2 stops the reading with the
// earlier lines taken. Only a complete file sets kenwoodCB: ticked when App 2
// is out of use and translation is on, else clear.
SettingsLoadResult LoadSettings(const std::filesystem::path& file, Settings& settings);

// The lines for these settings, without line ends.
std::vector<std::string> SettingsLines(const Settings& settings);

// Writes the file anew, atomically: the lines, then `unknownLines` as they
// are, go to a new file beside it, which then takes the old one's place, so a
// crash or a full disk never leaves half a file. A symbolic link at `file`
// stays: the file it points to is the one written, in that file's folder. The
// old file's mode is kept, and its owner and group where the process may set
// them. Something other than a regular file is never written over. Returns
// nothing on success, else why it could not be written (WriteTextFile).
std::optional<std::string> SaveSettings(const Settings& settings, const std::filesystem::path& file,
                                        std::string_view unknownLines = {});

// Writes `text` as the whole file, atomically and keeping what SaveSettings
// keeps (a link at `file`, the old file's mode, owner and group); never over
// something other than a regular file. Nothing on success, else why not.
std::optional<std::string> WriteTextFile(const std::filesystem::path& file,
                                         const std::string& text);

// The settings file of one folder. It remembers whether the file was read
// whole: one that was not is copied to "Catmux.ini.bak" before it is first
// written over, so nothing the program could not read is lost (a backup there
// already stays: the copy becomes "Catmux.ini.bak.2", and so on). Something
// there that could not be read at all is never written over.
class SettingsFile {
 public:
  explicit SettingsFile(const std::filesystem::path& folder) : path_(folder / kSettingsFileName) {}

  [[nodiscard]] const std::filesystem::path& Path() const { return path_; }

  SettingsLoadResult Load(Settings& settings);
  // For a file there that could not be read whole: what is wrong with it.
  [[nodiscard]] std::optional<std::string> LoadFault() const;
  // The same, with what becomes of the file: what the window's user should know.
  [[nodiscard]] std::optional<std::string> LoadProblem() const;
  // Lines of the last load taken, but worth a warning, each naming the file.
  [[nodiscard]] std::vector<std::string> LoadWarnings() const;

  // Returns nothing on success, else why the file could not be written.
  std::optional<std::string> Save(const Settings& settings);

 private:
  // The first backup name not yet taken.
  [[nodiscard]] std::filesystem::path NextBackup() const;
  // Copies the file as it stands now to a new backup; never over an old one.
  std::optional<std::string> KeepBackup() const;

  std::filesystem::path path_;
  SettingsLoadResult loaded_;
  bool backupDue_ = false;
};

}  // namespace vantorel::settings
