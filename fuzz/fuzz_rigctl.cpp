// libFuzzer target for one client of the NET rigctl server. The first eight
// bytes seed the radio and the timing: each of the radio's answers (its error
// or its values) and, in the second run, where the client's bytes are cut and
// which answers come late. The rest is what the client sends: lines, long
// words, binary.
//
// The session runs twice: once with the bytes at once and a radio that
// answers at once, once with the bytes in pieces and a radio that answers
// some requests only after more bytes came. Traps: the two runs telling the
// client different things or closing differently; a request to the radio
// while one is unanswered; a frequency beyond 10^13 Hz, a PTT other than
// 0..3 or a mode the radio lacks handed to the radio; the radio possibly
// keyed by this client (a key-down asked, and no unkey it confirmed since)
// while the session says it is not; more answers than bytes.
// With bit 0 of the first byte set, a third run drops the session while the
// radio still owes it answers, which then come and must do nothing.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "rigctl/rigctl_session.h"

namespace {

using namespace vantorel::rigctl;

// The same numbers from the same seed in every run.
class Numbers {
 public:
  explicit Numbers(std::uint64_t seed) : state_(seed) {}
  std::uint64_t Next() {
    std::uint64_t z = (state_ += 0x9e3779b97f4a7c15ULL);
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
    return z ^ (z >> 31);
  }

 private:
  std::uint64_t state_;
};

constexpr Mode kModes[] = {Mode::kAm,      Mode::kCw,      Mode::kUsb,       Mode::kLsb,
                           Mode::kRtty,    Mode::kFm,      Mode::kCwReverse, Mode::kRttyReverse,
                           Mode::kDataLsb, Mode::kDataUsb, Mode::kDataFm};
constexpr RigError kErrors[] = {RigError::kInvalidArgument, RigError::kTimeout, RigError::kProtocol,
                                RigError::kRejected, RigError::kPowerOff};

// A radio whose n-th answer is the n-th of its numbers, at once or when told.
class ScriptedRadio : public RigctlRadio {
 public:
  ScriptedRadio(std::uint64_t seed, bool late) : answers_(seed), timing_(~seed), late_(late) {}

  void Read(Quantity /*quantity*/, Vfo /*vfo*/, ReadDone done) override {
    Begin();
    const std::uint64_t n = answers_.Next();
    const RigError error = Error(n);
    const RigValue value{.hertz = static_cast<std::int64_t>(n >> 20) - (1LL << 40),
                         .mode = kModes[(n >> 8) % std::size(kModes)],
                         .passband = static_cast<std::int64_t>((n >> 12) % 100000) - 1,
                         .vfo = static_cast<Vfo>((n >> 16) % 3),
                         .number = static_cast<int>(n >> 32),
                         .fraction = static_cast<float>((n >> 40) % 2000) / 1000.0F - 0.5F};
    Answer([this, done = std::move(done), error, value] {
      outstanding_ = false;
      done(error, value);
    });
  }

  void Write(Quantity quantity, Vfo vfo, const RigValue& value, WriteDone done) override {
    Begin();
    switch (quantity) {
      case Quantity::kFrequency:
        FUZZ_REQUIRE(std::llabs(value.hertz) <= 10'000'000'000'000LL);
        break;
      case Quantity::kPtt:
        FUZZ_REQUIRE(value.number >= 0 && value.number <= 3);
        mayBeKeyed_ = mayBeKeyed_ || value.number != 0;
        break;
      case Quantity::kMode:
        FUZZ_REQUIRE((Modes(kKenwoodTransceiver) & static_cast<std::uint32_t>(value.mode)) != 0);
        break;
      case Quantity::kVfo:
        FUZZ_REQUIRE(value.vfo != Vfo::kCurrent && vfo == Vfo::kCurrent);
        break;
      default:
        break;
    }
    const RigError error = Error(answers_.Next());
    const bool unkey = quantity == Quantity::kPtt && value.number == 0;
    Answer([this, done = std::move(done), error, unkey] {
      outstanding_ = false;
      if (unkey && error == RigError::kOk) {
        mayBeKeyed_ = false;
      }
      done(error);
    });
  }

  // Gives one late answer; false when none is owed.
  bool AnswerOne() {
    if (owed_.empty()) {
      return false;
    }
    auto answer = std::move(owed_.front());
    owed_.pop_front();
    answer();
    return true;
  }
  [[nodiscard]] bool MayBeKeyed() const { return mayBeKeyed_; }
  Numbers& Timing() { return timing_; }

 private:
  void Begin() {
    FUZZ_REQUIRE(!outstanding_);  // one request at a time
    outstanding_ = true;
  }
  static RigError Error(std::uint64_t n) {
    return n % 8 == 0 ? kErrors[(n >> 3) % std::size(kErrors)] : RigError::kOk;
  }
  void Answer(std::function<void()> answer) {
    if (late_ && timing_.Next() % 2 == 0) {
      owed_.push_back(std::move(answer));
    } else {
      answer();
    }
  }

  Numbers answers_;
  Numbers timing_;
  bool late_;
  bool outstanding_ = false;
  bool mayBeKeyed_ = false;
  std::deque<std::function<void()>> owed_;
};

struct Client {
  std::string heard;
  std::size_t answers = 0;
  int closes = 0;
};

std::unique_ptr<RigctlSession> Connect(ScriptedRadio& radio, ServerState& server, Client& client) {
  return std::make_unique<RigctlSession>(
      radio, server,
      RigctlSession::Links{.send =
                               [&client](std::string_view text) {
                                 FUZZ_REQUIRE(client.closes == 0);
                                 client.heard += text;
                                 ++client.answers;
                               },
                           .close = [&client] { ++client.closes; }});
}

void CheckKeying(const ScriptedRadio& radio, const RigctlSession& session) {
  FUZZ_REQUIRE(!radio.MayBeKeyed() || session.Keyed());
}

// Sends the bytes in pieces of 1 to 16, with some owed answers given between.
void SendInPieces(ScriptedRadio& radio, RigctlSession& session, std::string_view bytes) {
  while (!bytes.empty()) {
    const std::size_t piece = 1 + radio.Timing().Next() % 16;
    session.Receive(bytes.substr(0, piece));
    bytes.remove_prefix(std::min(piece, bytes.size()));
    for (auto owed = radio.Timing().Next() % 3; owed > 0 && radio.AnswerOne(); --owed) {
    }
    CheckKeying(radio, session);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 8) {
    return 0;
  }
  std::uint64_t seed = 0;
  for (std::size_t i = 0; i < 8; ++i) {
    seed = seed << 8 | data[i];
  }
  const std::string_view bytes(reinterpret_cast<const char*>(data + 8), size - 8);

  ScriptedRadio radioAtOnce(seed, false);
  ServerState serverAtOnce;
  Client atOnce;
  auto session = Connect(radioAtOnce, serverAtOnce, atOnce);
  session->Receive(bytes);
  CheckKeying(radioAtOnce, *session);

  ScriptedRadio radioLate(seed, true);
  ServerState serverLate;
  Client inPieces;
  auto pieces = Connect(radioLate, serverLate, inPieces);
  SendInPieces(radioLate, *pieces, bytes);
  while (radioLate.AnswerOne()) {
    CheckKeying(radioLate, *pieces);
  }
  FUZZ_REQUIRE(inPieces.heard == atOnce.heard);
  FUZZ_REQUIRE(inPieces.closes == atOnce.closes && atOnce.closes <= 1);
  FUZZ_REQUIRE(atOnce.answers <= bytes.size());

  if ((seed >> 56 & 1) != 0) {
    ScriptedRadio radio(seed, true);
    ServerState server;
    Client dropped;
    auto gone = Connect(radio, server, dropped);
    SendInPieces(radio, *gone, bytes);
    const std::size_t heard = dropped.heard.size();
    gone.reset();
    while (radio.AnswerOne()) {
    }
    FUZZ_REQUIRE(dropped.heard.size() == heard);
  }
  return 0;
}
