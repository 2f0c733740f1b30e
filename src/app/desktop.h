// What only a desktop can do for the program: the process's current folder,
// testing for a file, bringing a companion program's window to the front,
// starting a companion program and ending this program.
//
// Start uses it to find and launch the station application (Rigdesk, a
// logger) beside the bridge; the Picture1 click shows the current folder.
// A fake stands in for it in tests, where windows and processes cannot be
// controlled.
//
// Threading: the program's one thread only. No call waits for another process.
#pragma once

#include <optional>
#include <string>

namespace vantorel::app {

class Desktop {
 public:
  virtual ~Desktop() = default;

  // The process's current folder.
  [[nodiscard]] virtual std::string CurrentFolder() const = 0;
  // Makes `folder` the current folder; false when it cannot be (missing, not a
  // folder, no permission). The current folder is then unchanged.
  virtual bool SetCurrentFolder(const std::string& folder) = 0;

  // Whether a file exists at `path`. A path that names nothing, or names a
  // folder, counts as missing.
  [[nodiscard]] virtual bool FileExists(const std::string& path) const = 0;

  // Brings to the front the top-level window whose title equals `title`, or
  // else one whose title begins with it. False when there is no such window:
  // the normal sign that the program is not running.
  //
  // `programFile` is the program that would own the window. Where windows
  // cannot be searched (no window system that allows it), a process running
  // from that file counts as the found window, so a second copy of the
  // program is never started beside the first.
  virtual bool ActivateWindow(const std::string& title, const std::string& programFile) = 0;

  // Starts the program file as a new process in `workingFolder` and does not
  // wait for it. Returns nothing on success, else why it could not be started.
  virtual std::optional<std::string> StartProgram(const std::string& programFile,
                                                  const std::string& workingFolder) = 0;

  // Ends the program: the event loop stops once the running handler returns.
  virtual void EndProgram() = 0;
};

}  // namespace vantorel::app
