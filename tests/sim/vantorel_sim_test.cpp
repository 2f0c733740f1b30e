// vantorel-sim as a user runs it: the built program behind a link in a
// temporary folder, talked to over that path, stopped by a signal.
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>

#include "child_process.h"
#include "temp_folder.h"
#include "terminal_client.h"

namespace vantorel::testing {
namespace {

namespace fs = std::filesystem;
using std::chrono_literals::operator""s;

const std::string kProgram = VANTOREL_SIM_PROGRAM;

// Behind a link it prints the link and serves across reopenings until
// terminated, then removes the link; without one it prints the device path
// and stops on an interrupt too.
TEST(VantorelSimTest, ServesBehindItsLinkOrItsDevicePathUntilStopped) {
  const TempFolder folder;
  const fs::path link = folder.Path() / "radio";
  for (const bool linked : {true, false}) {
    ChildProcess sim(linked ? std::vector<std::string>{kProgram, "--link", link.string()}
                            : std::vector<std::string>{kProgram});
    const std::string path = sim.ReadLine();
    ASSERT_TRUE(linked ? path == link.string() && fs::is_symlink(link) : path.starts_with("/dev/"))
        << path;
    EXPECT_TRUE(fs::canonical(path).string().starts_with("/dev/pts/"));
    for (int session = 0; session < 2; ++session) {
      SCOPED_TRACE(session);
      const TerminalClient client(path);
      client.Send("MD;FA;");
      EXPECT_EQ(client.ReadAnswers(2), session == 0 ? "MD2;FA00014074000;" : "MD2;FA00007050000;");
      client.Send("FA00007050000;ID;");
      EXPECT_EQ(client.ReadAnswers(1), "ID021;");
    }
    sim.Signal(linked ? SIGTERM : SIGINT);
    EXPECT_EQ(sim.Wait(), 0);
    EXPECT_FALSE(fs::exists(fs::symlink_status(link)));
  }
}

// Its help, version and unknown options: tests/program/command_line_test.cpp.
TEST(VantorelSimTest, RefusesALinkInAFilesPlaceAndLeavesTheFile) {
  const TempFolder folder;
  const fs::path file = folder.Path() / "notes";
  std::ofstream(file) << "keep me";
  const Finished refused = RunToEnd({kProgram, "--link", file.string()}, 10s);
  EXPECT_EQ(refused.status, 1);
  EXPECT_NE(refused.errors.find(file.string()), std::string::npos) << refused.errors;
  EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(file)));
}

}  // namespace
}  // namespace vantorel::testing
