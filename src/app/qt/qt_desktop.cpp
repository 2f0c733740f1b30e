#include "app/qt/qt_desktop.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QString>
#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <system_error>

#if QT_CONFIG(xcb)
#include <QtGui/qguiapplication_platform.h>
#include <xcb/xcb.h>
#include <xcb/xproto.h>
#endif

namespace vantorel::app {

namespace {

QString ToQt(const std::string& text) { return QString::fromStdString(text); }

bool SameLetters(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

#if QT_CONFIG(xcb)

struct FreeDeleter {
  void operator()(void* p) const { std::free(p); }  // xcb replies are malloc'ed
};
template <class T>
using Reply = std::unique_ptr<T, FreeDeleter>;

xcb_atom_t Atom(xcb_connection_t* c, const char* name) {
  const auto cookie = xcb_intern_atom(c, 1, static_cast<std::uint16_t>(std::strlen(name)), name);
  const Reply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(c, cookie, nullptr));
  return reply ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
}

std::string PropertyText(xcb_get_property_reply_t* reply, bool latin1) {
  if (reply == nullptr || reply->format != 8) {
    return {};
  }
  const auto* data = static_cast<const char*>(xcb_get_property_value(reply));
  const int length = xcb_get_property_value_length(reply);
  if (latin1) {
    return QString::fromLatin1(data, length).toStdString();
  }
  return std::string(data, static_cast<std::size_t>(length));
}

// Activates the window through the window manager. nullopt: the windows
// cannot be searched here.
std::optional<bool> ActivateX11Window(const std::string& title) {
  auto* x11 =
      qGuiApp != nullptr ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  if (x11 == nullptr || x11->connection() == nullptr) {
    return std::nullopt;
  }
  xcb_connection_t* c = x11->connection();
  const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
  if (screen == nullptr) {
    return std::nullopt;
  }
  const xcb_atom_t clientList = Atom(c, "_NET_CLIENT_LIST");
  const xcb_atom_t activeWindow = Atom(c, "_NET_ACTIVE_WINDOW");
  const xcb_atom_t netWmName = Atom(c, "_NET_WM_NAME");
  const xcb_atom_t utf8 = Atom(c, "UTF8_STRING");
  if (clientList == XCB_ATOM_NONE || activeWindow == XCB_ATOM_NONE) {
    return std::nullopt;
  }
  constexpr std::uint32_t kMaxLength = 1U << 16;  // in 32-bit units
  const Reply<xcb_get_property_reply_t> list(xcb_get_property_reply(
      c, xcb_get_property(c, 0, screen->root, clientList, XCB_ATOM_WINDOW, 0, kMaxLength),
      nullptr));
  if (!list || list->type == XCB_ATOM_NONE) {
    return std::nullopt;  // no EWMH window manager
  }
  const auto* ids = static_cast<const xcb_window_t*>(xcb_get_property_value(list.get()));
  const int count =
      xcb_get_property_value_length(list.get()) / static_cast<int>(sizeof(xcb_window_t));

  // Ask for every title first, then collect the answers: one round trip.
  std::vector<std::pair<xcb_get_property_cookie_t, xcb_get_property_cookie_t>> cookies;
  for (int i = 0; i < count; ++i) {
    cookies.emplace_back(
        xcb_get_property(c, 0, ids[i], netWmName, utf8, 0, kMaxLength),
        xcb_get_property(c, 0, ids[i], XCB_ATOM_WM_NAME, XCB_GET_PROPERTY_TYPE_ANY, 0, kMaxLength));
  }
  std::vector<TopLevelWindow> windows;
  for (int i = 0; i < count; ++i) {
    const Reply<xcb_get_property_reply_t> utf8Name(
        xcb_get_property_reply(c, cookies[static_cast<std::size_t>(i)].first, nullptr));
    const Reply<xcb_get_property_reply_t> name(
        xcb_get_property_reply(c, cookies[static_cast<std::size_t>(i)].second, nullptr));
    std::string text = PropertyText(utf8Name.get(), false);
    if (text.empty()) {
      text = PropertyText(name.get(), name && name->type != utf8);
    }
    windows.push_back({ids[i], std::move(text)});
  }
  const auto chosen = ChooseWindow(windows, title);
  if (!chosen) {
    return false;
  }
  // Source indication 2 (a pager acting for the user): window managers
  // honour it even against their focus-stealing prevention.
  xcb_client_message_event_t event{};
  event.response_type = XCB_CLIENT_MESSAGE;
  event.format = 32;
  event.window = *chosen;
  event.type = activeWindow;
  event.data.data32[0] = 2;
  event.data.data32[1] = XCB_CURRENT_TIME;
  xcb_send_event(c, 0, screen->root,
                 XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                 reinterpret_cast<const char*>(&event));
  xcb_flush(c);
  return true;
}

#else

std::optional<bool> ActivateX11Window(const std::string&) { return std::nullopt; }

#endif

}  // namespace

std::optional<std::uint32_t> ChooseWindow(const std::vector<TopLevelWindow>& windows,
                                          const std::string& title) {
  if (title.empty()) {
    return std::nullopt;
  }
  for (const TopLevelWindow& w : windows) {
    if (SameLetters(w.title, title)) {
      return w.id;
    }
  }
  for (const TopLevelWindow& w : windows) {
    if (w.title.size() >= title.size() && SameLetters(w.title.substr(0, title.size()), title)) {
      return w.id;
    }
  }
  return std::nullopt;
}

bool ProgramRunning(const std::string& programFile, const std::filesystem::path& procRoot) {
  QString file = ToQt(programFile);
  if (!file.contains('/')) {
    file = QStandardPaths::findExecutable(file);
  }
  const QString canonical = file.isEmpty() ? QString() : QFileInfo(file).canonicalFilePath();
  if (canonical.isEmpty()) {
    return false;
  }
  const std::filesystem::path target(canonical.toStdString());
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(procRoot, ec)) {
    const std::string name = entry.path().filename().string();
    if (name.empty() || !std::all_of(name.begin(), name.end(),
                                     [](unsigned char ch) { return std::isdigit(ch) != 0; })) {
      continue;
    }
    std::error_code linkError;  // other users' processes cannot be read: skipped
    const auto exe = std::filesystem::read_symlink(entry.path() / "exe", linkError);
    if (!linkError && exe == target) {
      return true;
    }
  }
  return false;
}

std::string QtDesktop::CurrentFolder() const { return QDir::currentPath().toStdString(); }

bool QtDesktop::SetCurrentFolder(const std::string& folder) {
  return !folder.empty() && QDir::setCurrent(ToQt(folder));
}

bool QtDesktop::FileExists(const std::string& path) const {
  return !path.empty() && QFileInfo(ToQt(path)).isFile();
}

bool QtDesktop::ActivateWindow(const std::string& title, const std::string& programFile) {
  if (!title.empty()) {
    if (const auto activated = ActivateX11Window(title)) {
      return *activated;
    }
  }
  return ProgramRunning(programFile);
}

std::optional<std::string> QtDesktop::StartProgram(const std::string& programFile,
                                                   const std::string& workingFolder) {
  QProcess process;
  process.setProgram(ToQt(programFile));
  process.setWorkingDirectory(ToQt(workingFolder));
  if (!process.startDetached()) {
    // "execv: Permission denied": the user needs the reason, not the call.
    QString reason = process.errorString();
    reason.remove(QRegularExpression("^execv?p?: "));
    return reason.toStdString();
  }
  return std::nullopt;
}

// exit, not quit: quit first closes every window, which would unload the main
// window a second time and close a message box the user has yet to read.
void QtDesktop::EndProgram() { QCoreApplication::exit(0); }

}  // namespace vantorel::app
