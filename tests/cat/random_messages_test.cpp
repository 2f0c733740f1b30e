// A few thousand messages from a fixed seed, well-formed and not, through both
// translations and the FT-950 emulation (to each simulated model): nothing may
// crash, ChangeInput and the emulation may not throw at all, and Changeoutput
// may throw only its overflow, which leaves the text as it was.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <random>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "cat/answer_translation.h"
#include "command_state.h"
#include "sim_chain.h"

namespace vantorel::cat {
namespace {

constexpr std::string_view kLetters[] = {
    "FA", "FB", "FT", "FR", "VS", "BS", "MK", "MD", "RF", "NA", "DS", "AC", "MS", "MX", "KY", "BI",
    "LK", "BC", "NR", "PA", "AB", "RU", "RD", "RO", "ML", "NL", "GT", "RA", "SD", "AN", "RL", "NB",
    "BP", "RG", "AG", "VG", "MG", "PS", "IS", "SH", "SM", "RM", "IF", "TX", "RX", "AI", "VX", "GC",
};
// Numbers at the edges: signs, blanks, fractions, exponents.
constexpr std::string_view kNumbers[] = {
    "1E9", "-1E9", "9E4", "3E4", "32767", "-32768", "1.5", " 7", "+0", "1D3", "9999", "-",
};

// Letters the FT-950 emulation knows besides those above.
constexpr std::string_view kEmulationLetters[] = {
    "FA", "FB", "FT", "FR", "VS", "MD", "SH", "NA", "RF", "TX", "MX", "PS", "PC", "AG",
    "RG", "SQ", "GT", "KS", "KP", "MG", "SM", "RM", "MS", "IF", "ID", "AI", "EX", "RC",
    "RU", "RD", "RT", "XT", "BS", "DA", "OI", "VM", "RX", "E",  "?",  "O",
};

// std::mt19937's sequence is fixed by the standard; the distributions are not,
// so ranges are taken by hand to keep the inputs the same everywhere.
class MessageSource {
 public:
  MessageSource() = default;
  MessageSource(std::span<const std::string_view> letters, std::uint32_t seed)
      : letters_(letters), engine_(seed) {}

  std::uint32_t Below(std::size_t n) { return engine_() % static_cast<std::uint32_t>(n); }

  // Every draw is its own statement: the order of the draws inside one
  // expression would be the compiler's choice.
  std::string Next() {
    std::string message(Pick(letters_));
    message += Bytes(Below(13), '0', '9');
    message += ';';
    switch (Below(7)) {
      case 0:
        return message;
      case 1:
        for (char& c : message) {
          c = c >= 'A' && c <= 'Z' && Below(2) == 0 ? static_cast<char>(c - 'A' + 'a') : c;
        }
        return message;
      case 2:
        return message.substr(0, Below(message.size() + 1));
      case 3:
        return message + Bytes(Below(400), '0', 'Z');
      case 4:
        return Bytes(Below(40), 0, 255);
      case 5:
        message += Next();
        message += Next();
        return message;
      default:
        message = Pick(letters_);
        message += Bytes(Below(3), '0', '9');
        message += Pick(kNumbers);
        message += Below(2) == 0 ? ";" : "";
        return message;
    }
  }

 private:
  std::string_view Pick(std::span<const std::string_view> from) { return from[Below(from.size())]; }

  std::string Bytes(std::uint32_t count, int low, int high) {
    std::string bytes;
    for (std::uint32_t i = 0; i < count; ++i) {
      bytes += static_cast<char>(low + static_cast<int>(Below(high - low + 1)));
    }
    return bytes;
  }

  std::span<const std::string_view> letters_ = kLetters;
  std::mt19937 engine_{20240611};
};

TEST(RandomMessages, NeitherTranslationFailsUnexpectedly) {
  constexpr int kMessages = 4000;
  MessageSource source;
  testing::CommandState state;
  auto& [translation, keying, ports, ctx] = state;
  int overflows = 0;

  for (int i = 0; i < kMessages; ++i) {
    const std::string message = source.Next();
    const std::uint32_t flags = source.Below(64);
    ctx.ignore2 = (flags & 1) != 0;
    ctx.pwrOn = static_cast<Check>(source.Below(3));
    ports.radioOpen = (flags & 2) != 0;
    ctx.monitorTX = (flags & 4) != 0;
    ports.app1Open = (flags & 8) != 0;
    ports.radioRefuses = (flags & 16) != 0;
    ports.app1Refuses = (flags & 32) != 0 && ports.radioRefuses;
    ctx.pendingLength = source.Below(14);
    ctx.dropPending = false;

    std::string command = message;
    std::string toRadio;
    EXPECT_NO_THROW(toRadio = ChangeInput(command, ctx)) << i << ": " << message;
    EXPECT_EQ(toRadio, command) << message;
    EXPECT_EQ(ctx.dropPending, ctx.pendingLength > 10) << message;

    ports.app1Refuses = false;
    std::string answer = message;
    try {
      const std::string toApp1 = Changeoutput(answer, ports);
      EXPECT_EQ(toApp1, answer) << message;
      EXPECT_EQ(toApp1.find("TX"), std::string::npos) << message;
    } catch (const AnswerOverflow&) {
      ++overflows;
      EXPECT_EQ(answer, message) << "a failed answer leaves the text as it was";
    } catch (const std::exception& error) {
      ADD_FAILURE() << i << ": " << message << " threw " << error.what();
    }
    ports.writes.clear();
  }
  // The source does reach the overflow, and not for most messages.
  EXPECT_GT(overflows, 0);
  EXPECT_LT(overflows, kMessages / 10);
}

// FT-950 commands as programs send them, for App 1's side half of the time.
constexpr std::string_view kFt950Commands[] = {
    "FA;",     "FB;",   "IF;",     "MD0;",   "SH0;",        "NA0;", "VS;",  "FT;",
    "TX;",     "MX;",   "PS;",     "PC;",    "AG0;",        "RG0;", "SQ0;", "GT0;",
    "KS;",     "MG;",   "SM0;",    "RM4;",   "RM5;",        "RM6;", "ID;",  "AI;",
    "EX027;",  "RT;",   "FR;",     "MD0C;",  "FA14074000;", "TX1;", "TX0;", "MX1;",
    "MX0;",    "VS1;",  "VS0;",    "FT3;",   "FT2;",        "AI1;", "AI0;", "PC050;",
    "AG0128;", "GT04;", "RU0100;", "MG127;", "SH013;",      "PS1;", "RC;",  "BS05;",
};

// Every ";"-ended piece of a text, and whatever follows the last.
std::vector<std::string_view> Commands(std::string_view text) {
  std::vector<std::string_view> pieces;
  for (auto end = text.find(';'); end != std::string_view::npos; end = text.find(';')) {
    pieces.push_back(text.substr(0, end + 1));
    text.remove_prefix(end + 1);
  }
  if (!text.empty()) {
    pieces.push_back(text);
  }
  return pieces;
}

// App 1's side and the radio's in turn, with every simulated model, the clock
// moving on: App 1's text through the emulation to the radio (whose replies
// come back) and random text from the radio's side. Nothing may throw, the
// radio is never keyed without the bridge knowing it, App 1 hears FT-950
// answers no longer than the status answer, and once the clock passes the
// read limit nothing is owed.
TEST(RandomMessages, Ft950EmulationStaysSafeWithEveryModel) {
  constexpr int kMessages = 2000;
  constexpr std::size_t kLongestApp1Answer = 27;
  MessageSource source(kEmulationLetters, 20250314);
  for (const testing::Model& model : testing::kModels) {
    testing::Chain chain(model);
    int answers = 0;
    for (int i = 0; i < kMessages; ++i) {
      chain.ctx.powerControl = static_cast<Check>(source.Below(3));
      chain.ctx.now += std::chrono::milliseconds(source.Below(100));
      const std::uint32_t side = source.Below(4);
      const std::string message =
          side < 2 ? source.Next()
                   : std::string(kFt950Commands[source.Below(std::size(kFt950Commands))]);
      std::string toApp1;
      if (side == 0) {
        for (const std::string_view piece : Commands(message)) {
          EXPECT_NO_THROW(toApp1 += chain.emulation.Answer(piece, chain.ctx)) << model.sim << i;
        }
      } else {
        EXPECT_NO_THROW(toApp1 = chain.Send(message)) << model.sim << i << ": " << message;
      }
      EXPECT_TRUE(!chain.radio.State().Transmitting() || chain.keying.radioKeyed)
          << model.sim << ": " << message;
      for (const std::string_view answer : Commands(toApp1)) {
        EXPECT_TRUE(answer.size() <= kLongestApp1Answer && answer.back() == ';')
            << model.sim << ": " << message << " answered " << answer;
        answers += answer != "?;" ? 1 : 0;
      }
    }
    chain.ctx.now += Ft950Emulation::kReadLimit;
    EXPECT_NO_THROW(chain.emulation.Overdue(chain.ctx.now));
    EXPECT_FALSE(chain.emulation.WaitingForRadio()) << model.sim;
    EXPECT_GT(answers, kMessages / 5) << model.sim << ": the source reaches the answers";
  }
}

}  // namespace
}  // namespace vantorel::cat
