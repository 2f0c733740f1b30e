#include "app/catmux.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <exception>
#include <utility>

#include "app/window_binding.h"

namespace vantorel::app {

namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// Puts the current folder back when Start leaves, on every way out.
class FolderRestorer {
 public:
  FolderRestorer(Desktop& desktop, std::string folder)
      : desktop_(desktop), folder_(std::move(folder)) {}
  ~FolderRestorer() { desktop_.SetCurrentFolder(folder_); }
  FolderRestorer(const FolderRestorer&) = delete;
  FolderRestorer& operator=(const FolderRestorer&) = delete;

 private:
  Desktop& desktop_;
  std::string folder_;
};

}  // namespace

std::string ProgramFolder(std::string_view path) {
  const auto last = std::find_if(path.rbegin(), path.rend(), IsSeparator);
  if (last == path.rend()) {
    return {};
  }
  const auto length = static_cast<std::size_t>(path.rend() - last - 1);
  if (length == 0 && path.front() == '/') {
    return "/";  // a program in the root folder
  }
  return std::string(path.substr(0, length));
}

std::string ProgramFile(const std::string& path, const std::string& startFolder) {
  const bool hasFolder = std::any_of(path.begin(), path.end(), IsSeparator);
  if (!hasFolder || IsSeparator(path.front()) || startFolder.empty()) {
    return path;
  }
  // A drive letter ("C:\...") is a full path where it means anything.
  if (path.size() > 1 && path[1] == ':') {
    return path;
  }
  return IsSeparator(startFolder.back()) ? startFolder + path : startFolder + "/" + path;
}

bool NamesRigdesk(std::string_view path) {
  constexpr std::string_view kWord = "rigdesk";
  const auto found =
      std::search(path.begin(), path.end(), kWord.begin(), kWord.end(),
                  [](char a, char b) { return std::tolower(static_cast<unsigned char>(a)) == b; });
  return found != path.end();
}

Catmux::Catmux(model::CatmuxModel& model, station::Station& station, settings::SettingsFile& file,
               Desktop& desktop, station::EventLoop& loop, MessageBoxes& boxes)
    : model_(model), station_(station), file_(file), desktop_(desktop), loop_(loop), boxes_(boxes) {
  attached_.Attach(model_.Command1.onClick, [this] { Guarded(&Catmux::Command1_Click); });
  attached_.Attach(model_.Command2.onClick, [this] { Guarded(&Catmux::Command2_Click); });
  attached_.Attach(model_.Command4.onClick, [this] { Guarded(&Catmux::Command4_Click); });
  attached_.Attach(model_.Exit.onClick, [this] { Guarded(&Catmux::Exit_Click); });
}

void Catmux::Guarded(void (Catmux::*handler)()) {
  try {
    (this->*handler)();
  } catch (const std::exception& e) {
    boxes_.MsgBox(e.what());
  }
}

void Catmux::Form_Load() {
  const std::filesystem::path folder = file_.Path().parent_path();
  // Without "TEST.TXT" App 1's capture has no file until it is first started;
  // the settings are still loaded, or the next unload would overwrite the
  // user's file with the values of a new installation.
  if (!station_.CreateTestFile()) {
    boxes_.MsgBox("TEST.TXT could not be created in " + folder.string());
  }
  settings::Settings settings = SettingsFromForm(model_);
  const settings::SettingsLoadResult loaded = file_.Load(settings);
  if (loaded.outcome == settings::SettingsLoad::NoFile) {
    settings::OfferFirstRun(settings);
  }
  ApplySettings(settings, model_);
  if (const auto problem = file_.LoadProblem()) {
    boxes_.MsgBox(*problem);
  }
  if (loaded.outcome == settings::SettingsLoad::Complete) {
    Guarded(&Catmux::Command1_Click);
  }
}

void Catmux::Form_Unload() {
  boxes_.ProgramEnding();
  model_.HlpForm.Unload();
  if (const auto problem = file_.Save(SettingsFromForm(model_))) {
    boxes_.MsgBox(file_.Path().string() + " could not be written: " + *problem);
  }
}

void Catmux::Command1_Click() {
  const std::string startFolder = desktop_.CurrentFolder();
  const FolderRestorer restorer(desktop_, startFolder);

  // Supervision ticks from the first Start on, whatever it opened.
  model_.Timer2.SetEnabled(true);
  // A failed Start has been told once, with its reason: no program is brought
  // forward for a station that is not there.
  if (!station_.InitPorts(PortSetupFromForm(model_))) {
    return;
  }
  model_.Parity.SetEnabled(false);
  model_.DataBits.SetEnabled(false);
  model_.StopBits.SetEnabled(false);
  model_.Baud.SetEnabled(false);

  const std::string app1 = model_.App1Name.Text();
  const std::string app2 = model_.App2Name.Text();
  const std::string folder1 = ProgramFolder(app1);
  const std::string folder2 = ProgramFolder(app2);
  const bool useApp1 = model_.Option1[0].Value() && !app1.empty();
  const bool useApp2 = model_.Option1[1].Value() && !app2.empty();

  // A bare program name has no folder to look in: it is not tested here, and
  // its start finds it (or reports it) by the system's search path.
  if (useApp1 && !folder1.empty() && !desktop_.FileExists(app1)) {
    boxes_.MsgBox(app1 + " not found");
    return;
  }
  if (useApp2 && !folder2.empty() && !desktop_.FileExists(app2)) {
    boxes_.MsgBox(app2 + " not found");
    return;
  }

  // Rigdesk's main window is titled "Rigdesk"; other programs are found by
  // the title beginning the user typed under "Heading".
  if (useApp1) {
    HandleProgram(app1, folder1, "Rigdesk", startFolder);
  }
  loop_.Wait(kStartPause);
  // The user may have ended the program during the pause.
  if (useApp2 && !ending_) {
    HandleProgram(app2, folder2, "Rigdesk -", startFolder);
  }
}

void Catmux::HandleProgram(const std::string& path, const std::string& folder,
                           const std::string& rigdeskTitle, const std::string& startFolder) {
  const std::string file = ProgramFile(path, startFolder);
  // The started program inherits its own folder as its current folder. A bare
  // name has none: the current folder stays as it is.
  if (!folder.empty()) {
    desktop_.SetCurrentFolder(folder);
  }
  const std::string title = NamesRigdesk(path) ? rigdeskTitle : model_.Text7.Text();
  if (desktop_.ActivateWindow(title, file)) {
    return;
  }
  if (const auto problem = desktop_.StartProgram(file, desktop_.CurrentFolder())) {
    boxes_.MsgBox(path + " could not be started: " + *problem);
  }
}

void Catmux::StopPorts() {
  station_.ClosePorts();
  model_.Parity.SetEnabled(true);
  model_.DataBits.SetEnabled(true);
  model_.StopBits.SetEnabled(true);
  model_.Baud.SetEnabled(true);
}

void Catmux::Command2_Click() {
  station_.UnkeyIfKeyed("at Stop");
  StopPorts();
}

void Catmux::Command4_Click() {
  // App 1, App 2 and the radio receive what is still queued for them first.
  station_.End("at Close", true);
  Form_Unload();
  EndProgram();
}

void Catmux::Exit_Click() {
  station_.End("at Exit", false);
  Form_Unload();
  EndProgram();
}

void Catmux::CloseBox() {
  station_.End("when the window was closed", false);
  Form_Unload();
  EndProgram();
}

void Catmux::EndProgram() {
  ending_ = true;
  desktop_.EndProgram();
}

}  // namespace vantorel::app
