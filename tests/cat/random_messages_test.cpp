// A few thousand messages from a fixed seed, well-formed and not, through both
// translations: nothing may crash, ChangeInput may not throw at all, and
// Changeoutput may throw only its overflow, which leaves the text as it was.
// (The FT-950 emulation meets random text in fuzz/fuzz_ft950.cpp, every read
// and setting of every model in ft950_emulation_test.cpp.)
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <span>
#include <string>
#include <string_view>

#include "cat/answer_translation.h"
#include "recording_ports.h"

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

// std::mt19937's sequence is fixed by the standard; the distributions are not,
// so ranges are taken by hand to keep the inputs the same everywhere.
class MessageSource {
 public:
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

}  // namespace
}  // namespace vantorel::cat
