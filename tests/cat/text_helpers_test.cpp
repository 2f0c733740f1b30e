#include "cat/text_helpers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace vantorel::cat {
namespace {

struct NumberCase {
  const char* text;
  double expected;
};

// The leading-number read serves the translations, the settings file, the port
// numbers and the shutdown limit alike.
TEST(LeadingNumber, ReadsTheLeadingDecimalNumber) {
  const NumberCase cases[] = {
      {"015;", 15},
      {"1;", 1},
      {"", 0},
      {";", 0},
      {"abc", 0},
      {"  42", 42},
      {" 1 80", 180},
      {"\t7\n", 7},
      {"-12", -12},
      {"+12", 12},
      {"- 5", -5},
      {"--5", 0},
      {"+-5", 0},
      {"-", 0},
      {"90.5", 90.5},
      {".5", 0.5},
      {"5.", 5},
      {"1.2.3", 1.2},
      {"0.05", 0.05},
      {"1E3", 1000},
      {"1e3", 1000},
      {"1D2", 100},
      {"2.5E-1", 0.25},
      {"1E+2x", 100},
      {"1E", 1},
      {"1E+", 1},
      {"1E;", 1},
      {"7x9", 7},
      {"0000000000000000000000000000000000000000000000000001", 1},
      {"128;", 128},
      {"&H10", 0},
      {"COM12", 0},
      {"-0", 0},
      {"00", 0},
      {"0E999", 0},
      {"1E-400", 0},
      {"12345678901234567890123456789012345678901234567890", 1.2345678901234568e49},
  };
  for (const auto& c : cases) {
    EXPECT_DOUBLE_EQ(LeadingNumber(c.text), c.expected) << '"' << c.text << '"';
  }
}

TEST(LeadingNumber, BeyondADoubleIsInfinite) {
  EXPECT_EQ(LeadingNumber("1E400"), std::numeric_limits<double>::infinity());
  EXPECT_EQ(LeadingNumber("-1E99999999999999999999"), -std::numeric_limits<double>::infinity());
  EXPECT_EQ(LeadingNumber(std::string(400, '9')), std::numeric_limits<double>::infinity());
}

TEST(NearestEven, HalvesGoToTheEvenNeighbour) {
  const NumberCase cases[] = {
      {"4.5", 4},    {"7.5", 8},         {"2.5", 2},       {"3.5", 4},  {"0.5", 0},
      {"-0.5", 0},   {"-1.5", -2},       {"-2.5", -2},     {"4.49", 4}, {"4.51", 5},
      {"-4.51", -5}, {"32767.5", 32768}, {"1E300", 1e300},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(NearestEven(LeadingNumber(c.text)), c.expected) << c.text;
  }
  EXPECT_TRUE(std::isinf(NearestEven(std::numeric_limits<double>::infinity())));
}

TEST(ToInt16, FitsOnlyTheSixteenBitRange) {
  EXPECT_EQ(ToInt16(32767.0), 32767);
  EXPECT_EQ(ToInt16(32767.4), 32767);
  EXPECT_EQ(ToInt16(32767.5), std::nullopt);  // rounds to 32768
  EXPECT_EQ(ToInt16(32768.0), std::nullopt);
  EXPECT_EQ(ToInt16(-32768.0), -32768);
  EXPECT_EQ(ToInt16(-32768.5), -32768);  // the even neighbour
  EXPECT_EQ(ToInt16(-32769.0), std::nullopt);
  EXPECT_EQ(ToInt16(1e9), std::nullopt);
  EXPECT_EQ(ToInt16(std::numeric_limits<double>::infinity()), std::nullopt);
  EXPECT_EQ(ToInt16(std::numeric_limits<double>::quiet_NaN()), std::nullopt);
  EXPECT_EQ(ToInt16(2.5), 2);
}

TEST(ZeroFill, PadsToTheWidthAndNeverCuts) {
  EXPECT_EQ(ZeroFill("5", 3), "005");
  EXPECT_EQ(ZeroFill("55", 3), "055");
  EXPECT_EQ(ZeroFill("555", 3), "555");
  EXPECT_EQ(ZeroFill("5555", 3), "5555");
  EXPECT_EQ(ZeroFill("", 2), "00");
  EXPECT_EQ(ZeroFill("7", 0), "7");
  EXPECT_EQ(ZeroFill("-5", 3), "0-5");  // a text operation: the sign is a character
}

}  // namespace
}  // namespace vantorel::cat
