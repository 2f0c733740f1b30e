// The settings file "Catmux.ini": the port and line settings, the option
// boxes and the two program paths, one value per line, known by position
// only. Twenty-three lines, each ended by CR LF:
//
//   text lines   the control's text as it stands
//   number lines a check box's value with a blank on each side (" 1 ")
//   truth lines  "True" or "False" for an option button
//
// Lines 2, 10, 11 and 12 (App 2's port, Ignore2, Ignore2Out, KenwoodCB) are
// written but not applied on reading: App 2 stays out of use at every start,
// and KenwoodCB follows from the mode once the whole file was read.
//
// Threading: the program's one thread only. Plain C++, no Qt.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "model/catmux_model.h"

namespace vantorel::app {

inline constexpr const char* kSettingsFileName = "Catmux.ini";
inline constexpr int kSettingsLineCount = 23;

enum class SettingsLoad {
  NoFile,      // no settings file: every control keeps its design-time value
  Unreadable,  // the file exists but cannot be opened; nothing applied
  Refused,     // a control refused a line: loading stopped there
  Incomplete,  // the file ended before its last line
  Complete,    // every line was read and applied
};

struct SettingsLoadResult {
  SettingsLoad outcome = SettingsLoad::NoFile;
  int linesRead = 0;   // lines taken from the file, the refused one included
  std::string reason;  // why an existing file could not be opened
};

// Reads the file into the controls, line by line, as far as it goes. A line
// may end in CR LF or in LF alone. A number line is read as its leading
// number rounded half to even; a value the check box refuses (not 0, 1 or 2)
// stops the loading with the earlier lines applied. Only a complete file sets
// KenwoodCB: ticked when App 2 is out of use (Ignore2 ticked) and translation
// is on (Check2 clear), else clear.
SettingsLoadResult LoadSettings(model::CatmuxModel& model, const std::filesystem::path& file);

// The 23 lines for the controls as they are now, without line ends.
std::vector<std::string> SettingsLines(const model::CatmuxModel& model);

// Creates or replaces the file with the 23 lines. Returns nothing on success,
// else why the file could not be written.
std::optional<std::string> SaveSettings(const model::CatmuxModel& model,
                                        const std::filesystem::path& file);

}  // namespace vantorel::app
