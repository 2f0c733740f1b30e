// The main window's handlers for loading, unloading, Start, Stop, Close and
// Exit: the bridge's work begins and ends here.
//
// Start opens the ports and then brings the chosen station program (App 1 or
// App 2 in the expanded window) to the front, starting it when it is not
// running. Stop closes the ports. Close lets the ports finish sending, closes
// them, saves the settings and ends the program; Exit saves and ends at once.
//
// Threading: the program's one thread. Start's pause and Close's waits let
// other handlers run in their middle (a second Start included).
#pragma once

#include <chrono>
#include <filesystem>
#include <string>
#include <string_view>

#include "app/desktop.h"
#include "app/message_boxes.h"
#include "model/attachments.h"
#include "model/catmux_model.h"
#include "settings/settings_file.h"
#include "station/event_loop.h"
#include "station/station.h"

namespace vantorel::app {

// Start's pause after bringing program 1 forward: gives a freshly started
// program time to open its own port before the user carries on.
inline constexpr std::chrono::milliseconds kStartPause{2000};

// The folder part of a program path: the text before its last separator.
// Both "\" and "/" separate (Windows paths from a settings file, Linux paths
// like /usr/bin/wsjtx). "C:\Logbench.exe" gives "C:", "/wsjtx" gives "/", and
// a bare name without any separator gives "".
std::string ProgramFolder(std::string_view path);

// The program file to activate or start: a relative path with a folder part
// is taken from `startFolder`, because Start changes the current folder to
// the program's folder before it starts the program.
std::string ProgramFile(const std::string& path, const std::string& startFolder);

// Whether the path names the Rigdesk program (any mix of case).
bool NamesRigdesk(std::string_view path);

class Catmux {
 public:
  // Attaches Start, Stop, Close and Exit to the model.
  Catmux(model::CatmuxModel& model, station::Station& station, settings::SettingsFile& file,
         Desktop& desktop, station::EventLoop& loop, MessageBoxes& boxes);
  Catmux(const Catmux&) = delete;
  Catmux& operator=(const Catmux&) = delete;

  // Creates "TEST.TXT", reads the settings file and, when it is complete,
  // presses Start.
  void Form_Load();
  // Closes the help window and writes the settings file.
  void Form_Unload();

  void Command1_Click();  // Start
  void Command2_Click();  // Stop
  void Command4_Click();  // Close
  void Exit_Click();
  // The window's close box: like Exit.
  void CloseBox();
  // Ends the program (after Close, Exit or the close box). A Start that is
  // pausing meanwhile then leaves program 2 alone.
  void EndProgram();

 private:
  // Brings the program's window forward or starts the program.
  void HandleProgram(const std::string& path, const std::string& folder,
                     const std::string& rigdeskTitle, const std::string& startFolder);
  bool ending_ = false;
  // Closes the open ports and gives back the line settings.
  void StopPorts();
  // Runs a handler; a failure ends it and is shown once.
  void Guarded(void (Catmux::*handler)());

  model::CatmuxModel& model_;
  station::Station& station_;
  settings::SettingsFile& file_;
  Desktop& desktop_;
  station::EventLoop& loop_;
  MessageBoxes& boxes_;
  model::Attachments attached_;
};

}  // namespace vantorel::app
