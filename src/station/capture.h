// The capture files: with "Save Data" (Check3) ticked, every block read from
// App 1 goes to "TESTIN.TXT" and every block read from the radio to
// "TESTOUT.TXT", one CR LF line per block, exactly as received. Until the
// capture is first started, App 1's slot holds "TEST.TXT", created empty at
// load; nothing is written while the capture is off.
//
// The files are plain files in the station's folder (where the settings file
// lives), created anew (emptied) each time the capture starts. Each line is flushed at once, so a
// capture is complete up to the last block even if the program is killed.
//
// Threading: the program's one thread; nothing here yields.
#pragma once

#include <cstdio>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

#include "station/station_events.h"

namespace vantorel::station {

inline constexpr const char* kTestFileName = "TEST.TXT";
inline constexpr const char* kApp1CaptureName = "TESTIN.TXT";
inline constexpr const char* kRadioCaptureName = "TESTOUT.TXT";

// A capture file that could not be created or written; what() names the file
// and the system's reason.
class CaptureError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// One file slot: created empty, written a line at a time, closed.
class CaptureFile {
 public:
  // Creates (or empties) the file and keeps it open; closes any file the slot
  // held first. Throws CaptureError.
  void Create(const std::filesystem::path& file);
  // Closing a slot that holds no file does nothing.
  void Close();
  [[nodiscard]] bool IsOpen() const { return file_ != nullptr; }
  // The block, then CR LF. Throws CaptureError.
  void WriteLine(std::string_view block);

 private:
  struct Closer {
    void operator()(std::FILE* file) const { std::fclose(file); }
  };
  std::unique_ptr<std::FILE, Closer> file_;
  std::string name_;  // for messages: the file name alone
};

class Capture {
 public:
  Capture(std::filesystem::path folder, StationEvents& events);

  // Empties "TEST.TXT" and keeps it in App 1's slot. False when it cannot be
  // created.
  bool CreateTestFile();

  // On: both files created anew, and the user is told; off: both closed.
  void Switch(bool on);

  [[nodiscard]] bool On() const { return on_; }

  // The blocks as the receive passes read them. A failed write is shown as
  // "error " and the description and switches the capture off: the capture
  // is a trace, and must not stop the traffic it traces.
  void App1Block(std::string_view block);
  void RadioBlock(std::string_view block);

 private:
  void Write(CaptureFile& file, std::string_view block);
  // Closes both files without the "Files Closed" message.
  void SwitchOff();

  std::filesystem::path folder_;
  StationEvents& events_;
  CaptureFile app1_;
  CaptureFile radio_;
  bool on_ = false;
};

}  // namespace vantorel::station
