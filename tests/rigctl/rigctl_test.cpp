// The NET rigctl server against Hamlib's own: the same command list, through
// `rigctl -m 2` and as raw text on a socket, to rigctld over its dummy rig and
// to sessions over a MemoryRadio in the same state on 127.0.0.1; every answer
// must be the same, byte for byte. Then the framing alone: any split of the
// input, over-long words, binary bytes, a client that goes away mid-request.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <array>
#include <cctype>
#include <deque>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <random>
#include <thread>

#include "child_process.h"
#include "rigctl/rigctl_radio.h"
#include "rigctl/rigctl_session.h"

namespace vantorel::testing {
namespace {

using namespace std::chrono_literals;
using rigctl::RigctlSession;

// A radio that keeps what it is told, starting as Hamlib's dummy rig does
// (rigctld -m 1: 145 and 146 MHz, FM 15 kHz, VFO A, powered on), so a session
// over it and rigctld over the dummy answer alike. Deferred, its completions
// wait for RunDeferred(), as a real radio's come later from the event loop.
class MemoryRadio : public rigctl::RigctlRadio {
 public:
  using Quantity = rigctl::Quantity;
  using Vfo = rigctl::Vfo;

  explicit MemoryRadio(bool deferred) : deferred_(deferred) {
    values_[{Quantity::kFrequency, Vfo::kA}].hertz = 145'000'000;
    values_[{Quantity::kFrequency, Vfo::kB}].hertz = 146'000'000;
    for (const Vfo vfo : {Vfo::kA, Vfo::kB}) {
      values_[{Quantity::kMode, vfo}] = {.mode = rigctl::Mode::kFm, .passband = 15'000};
    }
    values_[{Quantity::kPowerStatus, Vfo::kCurrent}].number = 1;
    values_[{Quantity::kStrength, Vfo::kCurrent}].number = -54;
  }

  void Read(Quantity quantity, Vfo vfo, ReadDone done) override {
    Complete([value = values_[Key(quantity, vfo)], done = std::move(done)] {
      done(rigctl::RigError::kOk, value);
    });
  }

  void Write(Quantity quantity, Vfo vfo, const rigctl::RigValue& value, WriteDone done) override {
    rigctl::RigValue& kept = values_[Key(quantity, vfo)];
    const std::int64_t passband = kept.passband;
    kept = value;
    if (quantity == Quantity::kMode && value.passband == -1) {
      kept.passband = passband;
    }
    Complete([done = std::move(done)] { done(rigctl::RigError::kOk); });
  }

  // Runs the waiting completions, and those they cause.
  void RunDeferred() {
    while (!later_.empty()) {
      const std::function<void()> next = std::move(later_.front());
      later_.pop_front();
      next();
    }
  }

  [[nodiscard]] int Ptt() { return values_[{Quantity::kPtt, Vfo::kCurrent}].number; }

 private:
  // Frequency and mode belong to a VFO, the rest to the radio.
  std::pair<Quantity, Vfo> Key(Quantity quantity, Vfo vfo) {
    if (quantity != Quantity::kFrequency && quantity != Quantity::kMode) {
      return {quantity, Vfo::kCurrent};
    }
    return {quantity, vfo == Vfo::kCurrent ? values_[{Quantity::kVfo, Vfo::kCurrent}].vfo : vfo};
  }

  void Complete(std::function<void()> completion) {
    later_.push_back(std::move(completion));
    if (!deferred_) {
      RunDeferred();
    }
  }

  bool deferred_;
  std::map<std::pair<Quantity, Vfo>, rigctl::RigValue> values_;
  std::deque<std::function<void()>> later_;
};

struct Row {
  std::vector<std::string> rigctl{};  // one `rigctl -m 2` run (it opens with \dump_state, ...)
  std::string raw{};                  // or this text on a connection of its own, then "q"
};

// In order: each row starts where the one before left the radio. Left out,
// where the dummy rig is no radio like ours: \dump_state (its own ranges and
// levels), \get_clock (it has one), "M ?" and "l ?" (it has every mode and
// level), STRENGTH (it makes one up).
const std::vector<Row> kRows = {
    {.rigctl = {"f", "m", "v", "s", "t", "get_powerstat", "get_vfo_info", "VFOA"}},
    {.rigctl = {"F", "14074000", "f", "F", "7074000", "f"}},
    {.rigctl = {"M", "USB", "2400", "m", "M", "PKTUSB", "3000", "m"}},
    {.rigctl = {"S", "1", "VFOB", "s", "get_vfo_info", "VFOB"}},
    {.rigctl = {"S", "0", "VFOA", "s"}},
    {.rigctl = {"T", "1", "t"}},
    {.rigctl = {"T", "0", "t"}},
    {.rigctl = {"L", "AF", "0.25", "l", "AF", "L", "RF", "0.5", "l", "RF", "L", "SQL", "0.1"}},
    {.rigctl = {"L", "RFPOWER", "0.75", "l", "RFPOWER", "L", "MICGAIN", "0.4", "l", "MICGAIN"}},
    {.rigctl = {"L", "KEYSPD", "22", "l", "KEYSPD", "l", "SQL"}},
    {.rigctl = {"set_lock_mode", "1", "M", "LSB", "1800", "m", "get_lock_mode"}},
    {.rigctl = {"set_lock_mode", "0", "M", "LSB", "1800", "m"}},
    {.raw = "f\nm\nv\ns\nt\n\\get_powerstat\n\\chk_vfo\n\\get_vfo_info VFOB\n"},
    {.raw = "+f\n;m\n|s\n,\\get_vfo_info VFOA\n+\\get_powerstat\n+t\n+l AF\n?v\n"},
    {.raw = "+F 7000000\n+M USB 2400\n;S 1 VFOB\n+T 0\n+L KEYSPD 30\n+\\set_lock_mode 0\n"},
    {.raw = "+\\chk_vfo\nf\n;\\chk_vfo\nm\n+\\get_lock_mode\n"},
    {.raw = "f m\nfm\nF 7074000 f\nF14074000\nf\n\n\r\n"},
    {.raw = "\\foo\n9\n(f\n#comment f\n\\get_info_x 9\nv\n"},
    {.raw = "M FOO 2400\nm\nM USB x\nL AF 0,3\nl AF\nL AF x\nl FOO\nL FOO 1\nL STRENGTH 5\n"},
    {.raw = "L KEYSPD 2.5\nl KEYSPD\nT 5\nT x\nS x VFOB\nS 1 XYZ\nF abc\n"},
    {.raw = "\\set_vfo_opt 1\nf VFOA\n+m VFOB\n+l VFOA AF\nv\n\\set_vfo_opt 0\n"},
    {.raw = "I 7001000\ni\nX USB 2400\nx\nS 0 VFOA\n+\\set_split_vfo 0 VFOA\n"},
    {.raw = "F\n14070000\n\\set_freq\n\n14071000 f\n+\nf\n"},
    // Last: once told a VFO, the dummy rig calls A "Main".
    {.rigctl = {"V", "VFOB", "f", "V", "VFOA", "f", "set_vfo_opt", "0"}},
    {.raw = "V VFOB\n+V VFOA\nV XYZ and more\nf\n"},
};

// A socket listening on 127.0.0.1, on a port of the system's choosing.
int Listen(int& port) {
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t size = sizeof address;
  ::bind(fd, reinterpret_cast<sockaddr*>(&address), size);
  ::listen(fd, 8);
  ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size);
  port = ntohs(address.sin_port);
  return fd;
}

// Sessions over one MemoryRadio, deferred, behind 127.0.0.1 on a thread of
// their own while the test runs rigctl: one client after the other, as the
// rows come.
class LoopbackServer {
 public:
  LoopbackServer() : listener_(Listen(port_)), thread_([this] { Serve(); }) {}
  ~LoopbackServer() {
    ::shutdown(listener_, SHUT_RDWR);  // the accept returns
    thread_.join();
    ::close(listener_);
  }
  [[nodiscard]] int Port() const { return port_; }

 private:
  void Serve() {
    for (int fd = 0; (fd = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC)) >= 0;) {
      bool closing = false;
      RigctlSession session(
          radio_, server_,
          {[fd](std::string_view text) { ::send(fd, text.data(), text.size(), MSG_NOSIGNAL); },
           [&closing] { closing = true; }});
      std::array<char, 4096> buffer{};
      for (ssize_t got = 0; !closing && (got = ::read(fd, buffer.data(), buffer.size())) > 0;) {
        session.Receive({buffer.data(), static_cast<std::size_t>(got)});
        radio_.RunDeferred();
      }
      ::close(fd);
    }
  }

  MemoryRadio radio_{true};
  rigctl::ServerState server_;
  int port_ = 0;
  int listener_;
  std::thread thread_;
};

class RigctlReferenceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    rigctl_ = FindProgram("rigctl");
    if (rigctl_.empty() || FindProgram("rigctld").empty() || FindProgram("socat").empty()) {
      GTEST_SKIP() << "rigctl, rigctld or socat is not installed (libhamlib-utils, socat)";
    }
    // The dummy rig keyed "by the rig", as a Kenwood is over CAT.
    reference_.emplace(std::vector<std::string>{FindProgram("rigctld"), "-m", "1", "-P", "RIG",
                                                "-t", std::to_string(referencePort_)});
    const std::vector<std::string> knock{FindProgram("socat"), "-u", "/dev/null",
                                         "TCP:127.0.0.1:" + std::to_string(referencePort_)};
    bool listening = false;
    for (int tries = 0; tries < 500 && !listening; ++tries) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
      listening = RunToEnd(knock, std::chrono::seconds(10)).status == 0;
    }
    ASSERT_TRUE(listening) << "rigctld did not start: " << reference_->Errors();
    AwaitReferenceIdle();
  }

  // rigctld 4.5.4 closes a finished client's socket twice, the second time
  // after the first has freed the descriptor for the next client it accepts,
  // which then loses its connection. So the next client connects only once
  // the last one's thread has ended.
  void AwaitReferenceIdle() const {
    const std::filesystem::path threads = "/proc/" + std::to_string(reference_->Pid()) + "/task";
    const auto running = [&] {
      return std::distance(std::filesystem::directory_iterator(threads), {});
    };
    for (int tries = 0; tries < 2'000 && running() > 1; ++tries) {
      std::this_thread::sleep_for(1ms);
    }
  }

  // What a row gets from the server on `port`: a raw row goes with "q" through
  // socat, which collects the answers up to the server's close.
  std::string Answers(const Row& row, int port) {
    const std::string address = "127.0.0.1:" + std::to_string(port);
    if (row.rigctl.empty()) {
      const std::string socat = "printf %s \"$1\" | socat -t 10 - TCP:" + address;
      return RunToEnd({"/bin/sh", "-c", socat, "sh", row.raw + "q\n"}, 30s).output;
    }
    std::vector<std::string> argv{rigctl_, "-m", "2", "-r", address};
    argv.insert(argv.end(), row.rigctl.begin(), row.rigctl.end());
    const Finished run = RunToEnd(argv, std::chrono::seconds(60));
    return "status " + std::to_string(run.status.value_or(-1)) + "\n" + run.output;
  }

  std::string rigctl_;
  // Closed again at once: a port nothing listens on just now.
  int referencePort_ = [] {
    int port = 0;
    ::close(Listen(port));
    return port;
  }();
  std::optional<ChildProcess> reference_;
};

TEST_F(RigctlReferenceTest, EveryRowGetsTheAnswersRigctldGives) {
  const LoopbackServer ours;
  for (const Row& row : kRows) {
    SCOPED_TRACE(row.rigctl.empty() ? row.raw : row.rigctl.front() + " " + row.rigctl.back());
    const std::string answers = Answers(row, referencePort_);
    AwaitReferenceIdle();
    EXPECT_EQ(Answers(row, ours.Port()), answers);
  }
  // The dummy rig makes its strength up. Ours comes from the radio, asked
  // only when \dump_state announced the level to `rigctl -m 2`.
  EXPECT_EQ(Answers({.rigctl = {"l", "STRENGTH"}}, ours.Port()), "status 0\n-54\n");
}

// Everything a session sends over a MemoryRadio for `input` fed in pieces of
// `piece` bytes, whether it closed, and the radio's PTT afterwards.
struct Transcript {
  std::string text;
  bool closed = false;
  int ptt = 0;  // the radio's at the end
  bool operator==(const Transcript&) const = default;
};

Transcript Feed(std::string_view input, std::size_t piece, bool deferred) {
  MemoryRadio radio(deferred);
  rigctl::ServerState server;
  Transcript transcript;
  RigctlSession session(
      radio, server,
      {[&](std::string_view text) { transcript.text += text; }, [&] { transcript.closed = true; }});
  for (std::size_t at = 0; at < input.size(); at += piece) {
    session.Receive(input.substr(at, piece));
    radio.RunDeferred();
  }
  transcript.ptt = radio.Ptt();
  return transcript;
}

TEST(RigctlFramingTest, AnswersDoNotDependOnHowTheInputIsSplitNorOnWhenTheRadioAnswers) {
  for (const Row& row : kRows) {
    const std::string input = row.raw + "q\n";
    const Transcript whole = Feed(input, input.size(), false);
    EXPECT_TRUE(whole.closed) << row.raw;
    for (const std::size_t piece : {1, 2, 7}) {
      EXPECT_EQ(Feed(input, piece, true), whole) << row.raw << " in pieces of " << piece;
    }
  }
}

// Over-long words and lines are cut, binary bytes never key the radio; either
// way the client is still served, up to its "q".
TEST(RigctlFramingTest, OverlongOrBinaryInputIsCutAndTheClientIsStillServed) {
  const std::string letters(100'000, 'a');
  const std::string overlong = "F " + std::string(100'000, '7') + "\n\\" + letters + "\nw " +
                               letters + "\nb " + letters + "\nf\nq\n";
  EXPECT_EQ(Feed(overlong, 4096, true),
            (Transcript{"RPRT -1\nRPRT -11\nRPRT -11\n145000000\nRPRT 0\n", true, 0}));
  std::mt19937 random(18);
  std::string noise;
  for (int i = 0; i < 200'000; ++i) {
    // No letter: a letter could be a command that sets the radio.
    const auto byte = static_cast<char>(random() % 256);
    noise += std::isalpha(static_cast<unsigned char>(byte)) != 0 ? '\0' : byte;
  }
  // A command waiting for inputs takes at most a VFO and three words or a line.
  const Transcript transcript = Feed(noise + "\nq\nq\nq\nq\nq\nq\n", 1000, true);
  EXPECT_TRUE(transcript.closed);
  EXPECT_EQ(transcript.ptt, 0);
}

TEST(RigctlFramingTest, AClientGoneBeforeTheRadioAnswersIsForgotten) {
  MemoryRadio radio(true);
  rigctl::ServerState server;
  std::string sent;
  auto session = std::make_unique<RigctlSession>(
      radio, server, RigctlSession::Links{[&](std::string_view text) { sent += text; }, [] {}});
  session->Receive("T 1\nf\n");
  EXPECT_EQ(sent, "");
  EXPECT_TRUE(session->Keyed());  // should the client go now, the owner unkeys
  radio.RunDeferred();
  session->Receive("f\n");
  session.reset();
  radio.RunDeferred();
  EXPECT_EQ(sent, "RPRT 0\n145000000\n");
}

}  // namespace
}  // namespace vantorel::testing
