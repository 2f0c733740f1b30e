// A pseudo-terminal standing in for a serial port: this program serves the
// controlling side; an application opens the terminal side by its path as its
// serial port, and may close it and open it again any number of times.
//
// The controlling side is raw and non-blocking, and its descriptor is exposed
// for an event loop to watch. While no application has the terminal side open,
// the controlling side reports hang-up (and reads fail with EIO) all the time,
// so a loop must not watch it for reading then: it calls RefreshClient() from a
// timer (every kClientCheckInterval, say) until an application is back, and
// watches the descriptor again only while RefreshClient() says one is there.
//
// Optionally the terminal side is linked at a path of the user's choosing; the
// link is removed again when the endpoint closes, if it is still ours. A link
// already at the path is replaced only when it is a stale one of this kind: it
// points into /dev/pts/ and no running Vantorel holds that terminal (the
// terminal is gone, or its number went to another program since a Vantorel
// ended without removing its link). Every endpoint with a link says it holds
// its terminal by a name in the abstract socket namespace, which the system
// lets go when the process ends, however it ends: no file is left behind to
// go stale. Anything else at the path (a link to a real serial port, another
// Vantorel's virtual port, a file) is refused and left untouched.
//
// Plain POSIX (Linux pseudo-terminals), no Qt. Threading: one owner thread; no
// internal locking.
#pragma once

#include <chrono>
#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace vantorel::pty {

// How often a server looks whether an application has opened the terminal side.
inline constexpr std::chrono::milliseconds kClientCheckInterval{20};

// Who may open the terminal side besides its owner: its group and its
// permission bits, each left as the system made it when unset (the owner
// alone: 0600).
struct TerminalAccess {
  std::optional<unsigned> group;  // a group id
  std::optional<unsigned> mode;   // permission bits, at most 0777

  bool operator==(const TerminalAccess&) const = default;
};

// "PATH", or "PATH?group=NAME&mode=OCTAL" with either part left out: the
// text after "pty:" in a port name. Throws std::invalid_argument saying what
// is wrong (an unknown group or key, a mode that is no octal up to 0777).
struct PtyAddress {
  std::string link;
  TerminalAccess access;
};
PtyAddress ReadPtyAddress(std::string_view text);
// Only the path of such a text: what an application opens.
[[nodiscard]] constexpr std::string_view PtyLinkText(std::string_view text) {
  return text.substr(0, text.find('?'));
}

enum class IoStatus {
  kDone,        // something was read or written
  kWouldBlock,  // nothing now; wait for readiness
  kNoClient,    // no application has the terminal side open
};

class PtyEndpoint {
 public:
  // Creates the pair, both sides raw. With a non-empty `link`, also makes that
  // path a symbolic link to the terminal side, replacing a stale link there;
  // anything else there is refused and left untouched. Throws
  // std::system_error whose text names what failed and the path.
  // The terminal side gets `access` before the link is made: an application
  // never finds it at the path with other rights.
  explicit PtyEndpoint(const std::filesystem::path& link = {}, const TerminalAccess& access = {});
  ~PtyEndpoint();
  PtyEndpoint(const PtyEndpoint&) = delete;
  PtyEndpoint& operator=(const PtyEndpoint&) = delete;

  // The controlling side's descriptor; -1 once closed.
  [[nodiscard]] int Fd() const { return controller_; }
  // The terminal side's device path (/dev/pts/N), what an application opens.
  [[nodiscard]] const std::string& TerminalPath() const { return terminalPath_; }
  // The link made at construction; empty when none.
  [[nodiscard]] const std::filesystem::path& LinkPath() const { return link_; }
  // Where the stale link this endpoint replaced pointed; empty when none.
  [[nodiscard]] const std::string& ReplacedLink() const { return replaced_; }

  // Looks whether the link still points here, and makes it again when it was
  // removed. kTaken: something else is at the path now (left untouched) or
  // the link cannot be made; `why` says which.
  enum class LinkState { kIntact, kMadeAgain, kTaken };
  LinkState KeepLink(std::string& why);

  // Whether an application has the terminal side open at this moment.
  [[nodiscard]] bool ClientConnected() const;

  // ClientConnected(), and when the application has gone since the last look:
  // what it left unread is thrown away and raw mode is set again, so the next
  // application gets neither stale answers nor the last one's line settings.
  // An application that closes and opens again faster than this is called
  // keeps the line as it was.
  bool RefreshClient();

  // Appends up to `limit` bytes the application sent. kDone when any came.
  IoStatus Read(std::string& into, std::size_t limit = 4096);

  // Writes what the line takes now and removes that from the front of `text`.
  // With no application there, writes nothing: the bytes would wait in the
  // line for the next one.
  IoStatus Write(std::string_view& text);

  // Closes the controlling side and removes the link if it still points here.
  void Close();

 private:
  void Link();
  // Why the link found at the path must stay; nothing when it is stale.
  [[nodiscard]] std::optional<std::string> KeepsItsPlace(const std::filesystem::path& target) const;
  void Unlink() noexcept;
  void ResetLine() noexcept;

  int controller_ = -1;
  int holding_ = -1;  // the socket whose name says a Vantorel holds the terminal
  std::string terminalPath_;
  std::filesystem::path link_;
  std::string replaced_;
  bool lineUsed_ = false;  // a client was seen or bytes were written since the last reset
};

}  // namespace vantorel::pty
