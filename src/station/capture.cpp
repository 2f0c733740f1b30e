#include "station/capture.h"

#include <cerrno>
#include <cstring>

namespace vantorel::station {
namespace {

std::string Reason(int error) { return std::strerror(error); }

}  // namespace

void CaptureFile::Create(const std::filesystem::path& file) {
  Close();
  name_ = file.filename().string();
  // Binary: the line ends are CR LF as written, on every system.
  std::FILE* opened = std::fopen(file.c_str(), "wb");
  if (opened == nullptr) {
    throw CaptureError("Unable to create " + name_ + ": " + Reason(errno));
  }
  file_.reset(opened);
}

void CaptureFile::Close() { file_.reset(); }

void CaptureFile::WriteLine(std::string_view block) {
  if (!file_) {
    return;
  }
  errno = 0;
  const bool written = std::fwrite(block.data(), 1, block.size(), file_.get()) == block.size() &&
                       std::fwrite("\r\n", 1, 2, file_.get()) == 2 && std::fflush(file_.get()) == 0;
  if (!written) {
    const int error = errno != 0 ? errno : EIO;
    std::clearerr(file_.get());
    throw CaptureError("Unable to write " + name_ + ": " + Reason(error));
  }
}

Capture::Capture(std::filesystem::path folder, StationEvents& events)
    : folder_(std::move(folder)), events_(events) {}

bool Capture::CreateTestFile() {
  try {
    app1_.Create(folder_ / kTestFileName);
    return true;
  } catch (const CaptureError&) {
    return false;
  }
}

void Capture::Switch(bool on) {
  if (on) {
    on_ = false;
    try {
      app1_.Create(folder_ / kApp1CaptureName);
      radio_.Create(folder_ / kRadioCaptureName);
    } catch (const CaptureError& e) {
      // Half a capture would look like a complete one: nothing is captured,
      // and the user is told so.
      SwitchOff();
      events_.Message(Topic::Routing, std::string(e.what()) + ". Save Data is off.");
      return;
    }
    events_.Message(Topic::Routing, "TESTIN.TXT and TESTOUT.TXT have been opened");
    on_ = true;
  } else {
    on_ = false;
    radio_.Close();
    app1_.Close();
    events_.Message(Topic::Routing, "Files Closed");
  }
}

void Capture::App1Block(std::string_view block) { Write(app1_, block); }

void Capture::RadioBlock(std::string_view block) { Write(radio_, block); }

void Capture::Write(CaptureFile& file, std::string_view block) {
  if (!on_) {
    return;
  }
  try {
    file.WriteLine(block);
  } catch (const CaptureError& e) {
    SwitchOff();
    events_.Message(Topic::Routing, std::string("error ") + e.what());
  }
}

void Capture::SwitchOff() {
  on_ = false;
  radio_.Close();
  app1_.Close();
  events_.CaptureStopped();
}

}  // namespace vantorel::station
