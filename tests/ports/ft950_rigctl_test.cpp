// Hamlib's rigctl as an FT-950 (model 1028), a standard client written by
// others, as App 1 through the FT-950 emulation to the simulated radio inside
// the station. After each step the radio's state is read straight as rigctl
// reads a Kenwood (TS-590S, model 2031): the station switched to "No
// Translation" is a plain relay to the same simulated radio.
//
// The test holds App 1's virtual port open itself, so a rigctl run that ends
// is not App 1 letting go (which would unkey the radio).
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <sstream>

#include "station_rig.h"

namespace vantorel::testing {
namespace {

struct Step {
  const char* ft950;       // rigctl -m 1028 arguments, a set and its read
  const char* ft950Reads;  // the read's first line (a number: within 0.01)
  const char* kenwood;     // rigctl -m 2031 read of the same state
  const char* kenwoodReads;
};

// clang-format off
const Step kSteps[] = {
    {"F 14074000 f",        "14074000", "f",           "14074000"},
    {"M USB 2400 m",        "USB",      "m",           "USB"},
    {"M LSB 1800 m",        "LSB",      "m",           "LSB"},
    {"M CW 500 m",          "CW",       "m",           "CW"},
    {"M PKTUSB 3000 m",     "PKTUSB",   "m",           "PKTUSB"},
    {"T 1 t",               "1",        "t",           "1"},
    {"T 0 t",               "0",        "t",           "0"},
    {"V VFOB v",            "VFOB",     "v",           "VFOB"},
    {"V VFOA v",            "VFOA",     "v",           "VFOA"},
    {"S 1 VFOB s",          "1",        "s",           "1"},
    {"S 0 VFOA s",          "0",        "s",           "0"},
    {"L RFPOWER 0.5 l RFPOWER", "0.5",  "l RFPOWER",   "0.5"},
    {"l STRENGTH",          "-54",      "l STRENGTH",  "-54"},
    {"L AF 0.3 l AF",       "0.3",      "l AF",        "0.3"},
    {"get_powerstat",       "1",        "get_powerstat", "1"},
};
// clang-format on

std::vector<std::string> Words(const std::string& text) {
  std::istringstream in(text);
  std::vector<std::string> words;
  for (std::string word; in >> word;) {
    words.push_back(word);
  }
  return words;
}

void ExpectFirstLine(const std::string& output, const std::string& expected,
                     const std::string& what) {
  const std::string first = output.substr(0, output.find('\n'));
  char* end = nullptr;
  const double number = std::strtod(expected.c_str(), &end);
  if (*end == '\0') {
    EXPECT_NEAR(std::strtod(first.c_str(), nullptr), number, 0.01) << what << ": " << output;
  } else {
    EXPECT_EQ(first, expected) << what << ": " << output;
  }
}

class Ft950RigctlTest : public StationRig {
 protected:
  void SetUp() override {
    rigctl_ = FindProgram("rigctl");
    if (rigctl_.empty()) {
      GTEST_SKIP() << "rigctl is not installed (Debian package libhamlib-utils)";
    }
    Emulation(true);
    Start("pty:" + app1Link, "sim:kenwood");
    holder_ = ::open(app1Link.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    ASSERT_GE(holder_, 0);
  }
  void TearDown() override {
    if (holder_ >= 0) {
      ::close(holder_);
    }
  }

  void Emulation(bool on) {
    station::Options options = station.options();
    options.profile = station::Profile::Emulation;
    options.noTranslation = on ? Check::Clear : Check::Ticked;
    station.SetOptions(options);
  }

  // One rigctl run while the station's event loop runs here.
  std::string Rigctl(const char* model, const std::string& arguments) {
    std::vector<std::string> argv{rigctl_,  "-m", model,   "-r",
                                  app1Link, "-s", "38400", "--set-conf=serial_handshake=None"};
    for (std::string& word : Words(arguments)) {
      argv.push_back(std::move(word));
    }
    const Finished finished = RunPumping(argv);
    // rigctl ends with 0 also when a command failed; it says so on stderr.
    EXPECT_EQ(finished.status, 0) << model << " " << arguments << ": " << finished.errors;
    EXPECT_EQ(finished.errors, "") << model << " " << arguments;
    return finished.output;
  }

  std::string rigctl_;
  int holder_ = -1;
};

TEST_F(Ft950RigctlTest, EveryStepSucceedsAndAgreesWithTheRadioReadAsAKenwood) {
  for (const Step& step : kSteps) {
    SCOPED_TRACE(step.ft950);
    Emulation(true);
    ExpectFirstLine(Rigctl("1028", step.ft950), step.ft950Reads, "as an FT-950");
    Emulation(false);
    ExpectFirstLine(Rigctl("2031", step.kenwood), step.kenwoodReads, "read as a Kenwood");
  }
  EXPECT_TRUE(events.messages.empty()) << events.messages.front();
}

}  // namespace
}  // namespace vantorel::testing
