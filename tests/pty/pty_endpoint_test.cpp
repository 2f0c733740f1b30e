// The endpoint over real pseudo-terminals, with links in a real temporary folder.
#include "pty/pty_endpoint.h"

#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <tuple>

#include "temp_folder.h"
#include "terminal_client.h"

namespace vantorel::pty {
namespace {

namespace fs = std::filesystem;
using vantorel::testing::TempFolder;
using vantorel::testing::TerminalClient;

// What the endpoint receives until `count` bytes; the limit is only a net.
std::string ReadFrom(PtyEndpoint& endpoint, std::size_t count) {
  std::string text;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (text.size() < count && std::chrono::steady_clock::now() < deadline) {
    pollfd readable{endpoint.Fd(), POLLIN, 0};
    ::poll(&readable, 1, 50);
    endpoint.Read(text);
  }
  return text;
}

// The link goes with the endpoint, unless it is no longer the endpoint's own.
TEST(PtyEndpointTest, LinksTheTerminalSideAndRemovesOnlyItsOwnLinkWhenClosed) {
  const TempFolder folder;
  const fs::path link = folder.Path() / "radio";
  {
    const PtyEndpoint endpoint(link);
    EXPECT_EQ(endpoint.LinkPath(), link);
    EXPECT_TRUE(endpoint.TerminalPath().starts_with("/dev/pts/"));
    ASSERT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(fs::read_symlink(link), endpoint.TerminalPath());
  }
  EXPECT_FALSE(fs::exists(fs::symlink_status(link)));
  PtyEndpoint endpoint(link);
  fs::remove(link);
  fs::create_symlink("/dev/null", link);
  endpoint.Close();
  EXPECT_EQ(fs::read_symlink(link), "/dev/null");
}

// "pty:PATH?group=NAME&mode=OCTAL": the terminal side gets the group and mode
// given, each part optional; what cannot be read is refused with its reason.
TEST(PtyEndpointTest, TheTerminalGetsTheGroupAndModeOfItsAddress) {
  const std::string ownGroup = ::getgrgid(::getgid())->gr_name;
  struct Row {
    std::string text;
    std::string link;
    TerminalAccess access;
  };
  const Row rows[] = {
      {"/run/v/app1", "/run/v/app1", {}},
      {"/run/v/app1?mode=0660", "/run/v/app1", {std::nullopt, 0660}},
      {"/run/v/app1?group=" + ownGroup + "&mode=640", "/run/v/app1", {::getgid(), 0640}},
      {"/run/v/app1?group=" + ownGroup, "/run/v/app1", {::getgid(), std::nullopt}},
  };
  for (const Row& row : rows) {
    const PtyAddress address = ReadPtyAddress(row.text);
    EXPECT_EQ(address.link, row.link) << row.text;
    EXPECT_EQ(address.access, row.access) << row.text;
  }
  for (const char* refused : {"/a?group=no-such-group-here", "/a?mode=0999", "/a?mode=1777",
                              "/a?mode=", "/a?owner=me", "/a?group"}) {
    EXPECT_THROW(ReadPtyAddress(refused), std::invalid_argument) << refused;
  }

  const TempFolder folder;
  const PtyEndpoint endpoint(folder.Path() / "app1", {::getgid(), 0660});
  struct stat terminal {};
  ASSERT_EQ(::stat((folder.Path() / "app1").c_str(), &terminal), 0);
  EXPECT_EQ(terminal.st_mode & 0777, 0660U);
  EXPECT_EQ(terminal.st_gid, ::getgid());
}

// A link is replaced only when it is a stale one of this kind: to a terminal
// that is gone, or whose number went to another program. A real serial port's
// link and another Vantorel's virtual port stay as they are, also when the
// refused endpoint goes.
TEST(PtyEndpointTest, ReplacesOnlyAStaleLink) {
  const TempFolder folder;
  const fs::path link = folder.Path() / "radio";
  const PtyEndpoint running(folder.Path() / "first");  // another Vantorel's port
  const PtyEndpoint other;  // a live terminal held for no link, as another program's
  const std::tuple<std::string, bool, std::string> rows[] = {
      {"/dev/pts/no-such-terminal", true, ""},
      {other.TerminalPath(), true, ""},
      {"/dev/ttyS0", false, "links to /dev/ttyS0, not to a virtual port"},
      {running.TerminalPath(), false, "is the virtual port of another running Vantorel"},
  };
  for (const auto& [target, replaced, refusal] : rows) {
    SCOPED_TRACE(target);
    fs::create_symlink(target, link);
    try {
      const PtyEndpoint endpoint(link);
      EXPECT_TRUE(replaced);
      EXPECT_EQ(fs::read_symlink(link), endpoint.TerminalPath());
      EXPECT_EQ(endpoint.ReplacedLink(), target);
    } catch (const std::system_error& error) {
      EXPECT_FALSE(replaced);
      EXPECT_NE(std::string(error.what()).find(link.string() + " " + refusal), std::string::npos)
          << error.what();
      EXPECT_EQ(fs::read_symlink(link), target);
    }
    fs::remove(link);
  }
}

TEST(PtyEndpointTest, ServesEachNewClientWithoutTheLastOnesLeftovers) {
  PtyEndpoint endpoint;
  EXPECT_FALSE(endpoint.RefreshClient());
  std::string nothing;
  EXPECT_EQ(endpoint.Read(nothing), IoStatus::kNoClient);
  std::string_view early = "EARLY;";
  EXPECT_EQ(endpoint.Write(early), IoStatus::kNoClient);
  EXPECT_EQ(early, "EARLY;");

  for (int round = 0; round < 3; ++round) {
    SCOPED_TRACE(round);
    {
      const TerminalClient client(endpoint.TerminalPath());
      EXPECT_TRUE(endpoint.RefreshClient());
      EXPECT_EQ(client.Available(), "");  // nothing from before it came
      client.Send("FA;");
      EXPECT_EQ(ReadFrom(endpoint, 3), "FA;");
      std::string_view answer = "FA00014074000;";
      EXPECT_EQ(endpoint.Write(answer), IoStatus::kDone);
      EXPECT_TRUE(answer.empty());
      // It leaves without reading the answer, once it has arrived, and with
      // echo switched on.
      pollfd arrived{client.Fd(), POLLIN, 0};
      ASSERT_EQ(::poll(&arrived, 1, 10'000), 1);
      termios mode{};
      tcgetattr(client.Fd(), &mode);
      mode.c_lflag |= ECHO;
      tcsetattr(client.Fd(), TCSANOW, &mode);
    }
    EXPECT_FALSE(endpoint.RefreshClient());
    EXPECT_FALSE(endpoint.ClientConnected());
  }

  // The next application finds the line raw again, whatever the last one set.
  const int next = ::open(endpoint.TerminalPath().c_str(), O_RDWR | O_NOCTTY);
  ASSERT_GE(next, 0);
  termios mode{};
  tcgetattr(next, &mode);
  EXPECT_EQ(mode.c_lflag & (ECHO | ICANON), 0u);
  ::close(next);
}

}  // namespace
}  // namespace vantorel::pty
