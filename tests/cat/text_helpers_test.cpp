#include "cat/text_helpers.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

namespace vantorel::cat {
namespace {

struct NumberCase {
  const char* text;
  double expected;
};

constexpr double kInfinity = std::numeric_limits<double>::infinity();

// The leading-number read serves the translations, the settings file, the port
// numbers and the shutdown limit alike.
TEST(LeadingNumber, ReadsTheLeadingDecimalNumber) {
  const NumberCase cases[] = {
      {"015;", 15},   {"", 0},        {"abc", 0},   {" 1 80", 180},   {"\t7\n", 7},
      {"-12", -12},   {"+12", 12},    {"- 5", -5},  {"--5", 0},       {"+-5", 0},
      {"-", 0},       {"90.5", 90.5}, {".5", 0.5},  {"5.", 5},        {"1.2.3", 1.2},
      {"0.05", 0.05}, {"1e3", 1000},  {"1D2", 100}, {"2.5E-1", 0.25}, {"1E+2x", 100},
      {"1E", 1},      {"1E+", 1},     {"1E;", 1},   {"7x9", 7},       {"&H10", 0},
      {"COM12", 0},   {"-0", 0},      {"0E999", 0}, {"1E-400", 0},    {"1E400", kInfinity},
  };
  for (const auto& c : cases) {
    EXPECT_DOUBLE_EQ(LeadingNumber(c.text), c.expected) << '"' << c.text << '"';
  }
  EXPECT_EQ(LeadingNumber(std::string(60, '0') + "1"), 1);
  EXPECT_DOUBLE_EQ(LeadingNumber("12345678901234567890123456789012345678901234567890"),
                   1.2345678901234568e49);
  EXPECT_EQ(LeadingNumber("-1E99999999999999999999"), -kInfinity);
  EXPECT_EQ(LeadingNumber(std::string(400, '9')), kInfinity);
}

TEST(NearestEven, HalvesGoToTheEvenNeighbour) {
  const NumberCase cases[] = {
      {"4.5", 4},         {"7.5", 8},       {"2.5", 2},           {"0.5", 0},  {"-0.5", 0},
      {"-1.5", -2},       {"-2.5", -2},     {"4.49", 4},          {"4.51", 5}, {"-4.51", -5},
      {"32767.5", 32768}, {"1E300", 1e300}, {"1E400", kInfinity},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(NearestEven(LeadingNumber(c.text)), c.expected) << c.text;
  }
}

TEST(ToInt16, FitsOnlyTheSixteenBitRange) {
  EXPECT_EQ(ToInt16(32767.4), 32767);
  EXPECT_EQ(ToInt16(32767.5), std::nullopt);  // rounds to 32768
  EXPECT_EQ(ToInt16(-32768.5), -32768);       // the even neighbour
  EXPECT_EQ(ToInt16(-32769.0), std::nullopt);
  EXPECT_EQ(ToInt16(2.5), 2);
  EXPECT_EQ(ToInt16(kInfinity), std::nullopt);
  EXPECT_EQ(ToInt16(std::numeric_limits<double>::quiet_NaN()), std::nullopt);
}

TEST(ZeroFill, PadsToTheWidthAndNeverCuts) {
  EXPECT_EQ(ZeroFill("5", 3), "005");
  EXPECT_EQ(ZeroFill("55", 3), "055");
  EXPECT_EQ(ZeroFill("5555", 3), "5555");
  EXPECT_EQ(ZeroFill("", 2), "00");
  EXPECT_EQ(ZeroFill("-5", 3), "0-5");  // a text operation: the sign is a character
}

}  // namespace
}  // namespace vantorel::cat
