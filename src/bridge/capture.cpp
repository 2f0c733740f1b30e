#include "bridge/capture.h"

#include <cerrno>
#include <cstring>

namespace vantorel::bridge {
namespace {

std::string Reason(int error) { return std::strerror(error); }

}  // namespace

void CaptureFile::Create(const std::string& name) {
  Close();
  // Binary: the line ends are CR LF as written, on every system.
  std::FILE* file = std::fopen(name.c_str(), "wb");
  if (file == nullptr) {
    throw CaptureError("Unable to create " + name + ": " + Reason(errno));
  }
  file_.reset(file);
  name_ = name;
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

Capture::Capture(model::CheckBox& check3, model::MessageBoxes& boxes)
    : check3_(check3), boxes_(boxes) {}

bool Capture::CreateTestFile() {
  try {
    app1_.Create(kTestFileName);
    return true;
  } catch (const CaptureError&) {
    return false;
  }
}

void Capture::Check3_Click() {
  if (switchingOff_) {
    return;
  }
  if (check3_.Value() == 1) {
    on_ = false;
    try {
      app1_.Create(kApp1CaptureName);
      radio_.Create(kRadioCaptureName);
    } catch (const CaptureError& e) {
      // Half a capture would look like a complete one: nothing is captured,
      // and the box shows that.
      SwitchOff();
      boxes_.MsgBox(std::string(e.what()) + ". Save Data is off.");
      return;
    }
    boxes_.MsgBox("TESTIN.TXT and TESTOUT.TXT have been opened");
    on_ = true;
  } else {
    on_ = false;
    radio_.Close();
    app1_.Close();
    boxes_.MsgBox("Files Closed");
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
    boxes_.MsgBox(std::string("error ") + e.what());
  }
}

void Capture::SwitchOff() {
  on_ = false;
  radio_.Close();
  app1_.Close();
  // Unticking runs Check3_Click, which must not show "Files Closed" here.
  switchingOff_ = true;
  check3_.SetValue(0);
  switchingOff_ = false;
}

}  // namespace vantorel::bridge
