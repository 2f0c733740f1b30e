// The capture files: with "Save Data" (Check3) ticked, every block read from
// App 1 goes to "TESTIN.TXT" and every block read from the radio to
// "TESTOUT.TXT", one CR LF line per block, exactly as received. Until the
// capture is first started, App 1's slot holds "TEST.TXT", created empty at
// load; nothing is written while the capture is off.
//
// The files are plain files in the current folder, created anew (emptied) each
// time the capture starts. Each line is flushed at once, so a capture is
// complete up to the last block even if the program is killed.
//
// Threading: the program's one thread; nothing here yields.
#pragma once

#include <cstdio>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

#include "model/controls.h"
#include "model/platform.h"

namespace vantorel::bridge {

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
  void Create(const std::string& name);
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
  std::string name_;
};

class Capture {
 public:
  Capture(model::CheckBox& check3, model::MessageBoxes& boxes);

  // Empties "TEST.TXT" and keeps it in App 1's slot. False when it cannot be
  // created.
  bool CreateTestFile();

  // Runs after each change of Check3: ticked starts the capture (both files
  // created anew), anything else stops it.
  void Check3_Click();

  [[nodiscard]] bool On() const { return on_; }

  // Capture steps of the receive procedures. A failed write is shown as
  // "error " and the description, and switches the capture off (Check3
  // unticked): the capture is a trace, and must not stop the traffic it traces.
  void App1Block(std::string_view block);
  void RadioBlock(std::string_view block);

 private:
  void Write(CaptureFile& file, std::string_view block);
  // Closes both files and unticks Check3 without the "Files Closed" message.
  void SwitchOff();

  model::CheckBox& check3_;
  model::MessageBoxes& boxes_;
  CaptureFile app1_;
  CaptureFile radio_;
  bool on_ = false;
  bool switchingOff_ = false;
};

}  // namespace vantorel::bridge
