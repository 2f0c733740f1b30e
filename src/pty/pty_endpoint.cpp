#include "pty/pty_endpoint.h"

#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <pty.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstddef>
#include <cstring>
#include <stdexcept>
#include <string>
#include <system_error>

namespace vantorel::pty {
namespace {

[[noreturn]] void ThrowErrno(const std::string& what) {
  throw std::system_error(errno, std::generic_category(), what);
}

// No echo, no line editing, no character translation: bytes pass as they are.
bool MakeRaw(int fd) {
  termios mode{};
  if (tcgetattr(fd, &mode) != 0) {
    return false;
  }
  cfmakeraw(&mode);
  return tcsetattr(fd, TCSANOW, &mode) == 0;
}

bool AddFlags(int fd, int statusFlags, int descriptorFlags) {
  const int status = fcntl(fd, F_GETFL);
  const int descriptor = fcntl(fd, F_GETFD);
  return status >= 0 && descriptor >= 0 && fcntl(fd, F_SETFL, status | statusFlags) == 0 &&
         fcntl(fd, F_SETFD, descriptor | descriptorFlags) == 0;
}

bool WouldBlock(int error) { return error == EAGAIN || error == EWOULDBLOCK; }

// The abstract socket name that says a running Vantorel holds `terminal`.
sockaddr_un HolderName(const std::filesystem::path& terminal) {
  sockaddr_un name{};
  name.sun_family = AF_UNIX;
  const std::string text = "vantorel-pty:" + terminal.lexically_normal().string();
  // sun_path[0] stays NUL: the abstract namespace, nothing in the file system.
  text.copy(name.sun_path + 1, std::min(text.size(), sizeof(name.sun_path) - 1));
  return name;
}

socklen_t HolderNameLength(const sockaddr_un& name) {
  return static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 +
                                ::strnlen(name.sun_path + 1, sizeof(name.sun_path) - 1));
}

// Binds the holder name of `terminal`: the descriptor while it is ours, -1
// when the name is taken (errno EADDRINUSE) or no socket can be had.
int HoldName(const std::filesystem::path& terminal) {
  const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) {
    return -1;
  }
  const sockaddr_un name = HolderName(terminal);
  if (::bind(fd, reinterpret_cast<const sockaddr*>(&name), HolderNameLength(name)) != 0) {
    const int error = errno;
    ::close(fd);
    errno = error;
    return -1;
  }
  return fd;
}

}  // namespace

PtyAddress ReadPtyAddress(std::string_view text) {
  PtyAddress address;
  address.link = std::string(PtyLinkText(text));
  if (address.link.size() == text.size()) {
    return address;
  }
  std::string_view rest = text.substr(address.link.size() + 1);
  while (!rest.empty()) {
    const std::size_t end = std::min(rest.find('&'), rest.size());
    const std::string_view pair = rest.substr(0, end);
    rest.remove_prefix(std::min(end + 1, rest.size()));
    const std::size_t equals = pair.find('=');
    const std::string_view key = pair.substr(0, equals);
    const std::string value(equals == std::string_view::npos ? "" : pair.substr(equals + 1));
    if (key == "group") {
      const struct group* found = value.empty() ? nullptr : ::getgrnam(value.c_str());
      if (found == nullptr) {
        throw std::invalid_argument("there is no group \"" + value + "\"");
      }
      address.access.group = found->gr_gid;
    } else if (key == "mode") {
      const bool octal = !value.empty() && value.size() <= 4 &&
                         value.find_first_not_of("01234567") == std::string::npos;
      const unsigned mode = octal ? static_cast<unsigned>(std::stoul(value, nullptr, 8)) : 01000;
      if (mode > 0777) {
        throw std::invalid_argument("the mode is an octal number up to 0777, not \"" + value +
                                    "\"");
      }
      address.access.mode = mode;
    } else {
      throw std::invalid_argument("\"" + std::string(pair) +
                                  "\" is neither group=NAME nor mode=OCTAL");
    }
  }
  return address;
}

PtyEndpoint::PtyEndpoint(const std::filesystem::path& link, const TerminalAccess& access) {
  int terminal = -1;
  // openpty writes the terminal's name here; ptsname's shared buffer is never used.
  std::array<char, 256> name{};
  if (openpty(&controller_, &terminal, name.data(), nullptr, nullptr) != 0) {
    ThrowErrno("cannot create a pseudo-terminal");
  }
  terminalPath_ = name.data();
  const bool ready =
      MakeRaw(terminal) && MakeRaw(controller_) && AddFlags(controller_, O_NONBLOCK, FD_CLOEXEC);
  int setupError = errno;
  // The rights go on the terminal itself: the link's own do not count.
  std::string accessRefused;
  if (ready && access.group && ::fchown(terminal, static_cast<uid_t>(-1), *access.group) != 0) {
    setupError = errno;
    accessRefused = "cannot give " + terminalPath_ + " to group " + std::to_string(*access.group);
  } else if (ready && access.mode && ::fchmod(terminal, *access.mode) != 0) {
    setupError = errno;
    accessRefused = "cannot set the mode of " + terminalPath_;
  }
  // Closed at once: from now on only an application holds the terminal side, so
  // the hang-up of the controlling side says whether one is there.
  ::close(terminal);
  if (!ready || !accessRefused.empty()) {
    Close();
    throw std::system_error(setupError, std::generic_category(),
                            accessRefused.empty()
                                ? "cannot set up the pseudo-terminal " + terminalPath_
                                : accessRefused);
  }
  if (!link.empty()) {
    try {
      // Said before the link is made: another Vantorel finding the link
      // finds the name taken.
      holding_ = HoldName(terminalPath_);
      if (holding_ < 0) {
        ThrowErrno("cannot mark " + terminalPath_ + " as held");
      }
      link_ = link;
      Link();
    } catch (...) {
      link_.clear();  // whatever is at the path is not ours
      Close();
      throw;
    }
  }
}

PtyEndpoint::~PtyEndpoint() { Close(); }

void PtyEndpoint::Link() {
  // A link that vanishes or reappears between the looks is tried again a few times.
  for (int attempt = 0; attempt < 3; ++attempt) {
    if (::symlink(terminalPath_.c_str(), link_.c_str()) == 0) {
      return;
    }
    if (errno != EEXIST) {
      ThrowErrno("cannot link " + link_.string() + " to " + terminalPath_);
    }
    struct stat found {};
    if (::lstat(link_.c_str(), &found) != 0) {
      if (errno == ENOENT) {
        continue;
      }
      ThrowErrno("cannot look at " + link_.string());
    }
    if (!S_ISLNK(found.st_mode)) {
      throw std::system_error(
          EEXIST, std::generic_category(),
          link_.string() + " exists and is not a symbolic link; left untouched");
    }
    std::error_code error;
    const std::filesystem::path target = std::filesystem::read_symlink(link_, error);
    if (error) {
      continue;  // gone since the look
    }
    if (const std::optional<std::string> why = KeepsItsPlace(target)) {
      throw std::system_error(EEXIST, std::generic_category(),
                              link_.string() + " " + *why + "; left untouched");
    }
    if (::unlink(link_.c_str()) != 0 && errno != ENOENT) {
      ThrowErrno("cannot replace the old link " + link_.string());
    }
    replaced_ = target.string();
  }
  throw std::system_error(EEXIST, std::generic_category(),
                          "cannot link " + link_.string() + ": something keeps taking the path");
}

std::optional<std::string> PtyEndpoint::KeepsItsPlace(const std::filesystem::path& target) const {
  // Links of this kind are made to /dev/pts/N; a link anywhere else (a Wine
  // COM port to /dev/ttyS0, say) is the user's.
  const std::filesystem::path normal = target.lexically_normal();
  if (normal.parent_path() != "/dev/pts" || normal.filename() == "ptmx") {
    return "links to " + target.string() + ", not to a virtual port";
  }
  if (normal == terminalPath_) {
    return std::nullopt;  // a link left behind to the number this terminal got again
  }
  const int probe = HoldName(normal);
  if (probe >= 0) {
    ::close(probe);
    return std::nullopt;  // no running Vantorel holds it: stale
  }
  if (errno == EADDRINUSE) {
    return "is the virtual port of another running Vantorel (" + target.string() + ")";
  }
  return "links to " + target.string() +
         ", which cannot be told free: " + std::generic_category().message(errno);
}

PtyEndpoint::LinkState PtyEndpoint::KeepLink(std::string& why) {
  if (link_.empty()) {
    return LinkState::kIntact;
  }
  std::error_code error;
  const std::filesystem::path target = std::filesystem::read_symlink(link_, error);
  if (!error && target == terminalPath_) {
    return LinkState::kIntact;
  }
  if (std::filesystem::exists(std::filesystem::symlink_status(link_, error))) {
    why = link_.string() + " no longer links to this virtual port; left untouched";
    return LinkState::kTaken;
  }
  if (::symlink(terminalPath_.c_str(), link_.c_str()) != 0) {
    why = "cannot link " + link_.string() + " again: " + std::generic_category().message(errno);
    return LinkState::kTaken;
  }
  return LinkState::kMadeAgain;
}

void PtyEndpoint::Unlink() noexcept {
  if (link_.empty()) {
    return;
  }
  std::error_code error;
  if (std::filesystem::read_symlink(link_, error) == terminalPath_ && !error) {
    std::filesystem::remove(link_, error);
  }
  link_.clear();
}

void PtyEndpoint::Close() {
  Unlink();
  // The name goes before the terminal: its number cannot be given to a new
  // terminal while the name still says it is held.
  if (holding_ >= 0) {
    ::close(holding_);
    holding_ = -1;
  }
  if (controller_ >= 0) {
    ::close(controller_);
    controller_ = -1;
  }
}

bool PtyEndpoint::ClientConnected() const {
  if (controller_ < 0) {
    return false;
  }
  pollfd look{controller_, 0, 0};
  int ready = 0;
  do {
    ready = ::poll(&look, 1, 0);
  } while (ready < 0 && errno == EINTR);
  return ready == 0 || (ready > 0 && (look.revents & (POLLHUP | POLLERR | POLLNVAL)) == 0);
}

bool PtyEndpoint::RefreshClient() {
  const bool connected = ClientConnected();
  if (connected) {
    lineUsed_ = true;
  } else if (lineUsed_) {
    ResetLine();
    lineUsed_ = false;
  }
  return connected;
}

void PtyEndpoint::ResetLine() noexcept {
  // What this side wrote waits in the terminal side's input queue; only a
  // descriptor of that side can flush it. Nothing here touches what comes the
  // other way: the next application may already have opened the line and sent
  // its first command.
  const int terminal = ::open(terminalPath_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (terminal < 0) {
    return;
  }
  MakeRaw(terminal);
  tcflush(terminal, TCIFLUSH);
  ::close(terminal);
}

IoStatus PtyEndpoint::Read(std::string& into, std::size_t limit) {
  std::array<char, 4096> buffer{};
  std::size_t got = 0;
  while (controller_ >= 0 && got < limit) {
    const ssize_t count = ::read(controller_, buffer.data(), std::min(buffer.size(), limit - got));
    if (count > 0) {
      into.append(buffer.data(), static_cast<std::size_t>(count));
      got += static_cast<std::size_t>(count);
      lineUsed_ = true;
      continue;
    }
    if (count < 0 && errno == EINTR) {
      continue;
    }
    if (got > 0) {
      return IoStatus::kDone;
    }
    // EIO: the last application closed the terminal side.
    return count < 0 && WouldBlock(errno) ? IoStatus::kWouldBlock : IoStatus::kNoClient;
  }
  return got > 0 ? IoStatus::kDone : IoStatus::kNoClient;
}

IoStatus PtyEndpoint::Write(std::string_view& text) {
  if (!ClientConnected()) {
    return IoStatus::kNoClient;
  }
  bool wrote = false;
  while (!text.empty()) {
    const ssize_t count = ::write(controller_, text.data(), text.size());
    if (count > 0) {
      text.remove_prefix(static_cast<std::size_t>(count));
      wrote = true;
      lineUsed_ = true;
      continue;
    }
    if (count < 0 && errno == EINTR) {
      continue;
    }
    if (count < 0 && WouldBlock(errno)) {
      return wrote ? IoStatus::kDone : IoStatus::kWouldBlock;
    }
    return IoStatus::kNoClient;
  }
  return IoStatus::kDone;
}

}  // namespace vantorel::pty
