// The keying rule an untranslated App 1 and every extra Kenwood program are
// held to: what a command's end does to the radio's keying.
#include "cat/pass_through.h"

#include <gtest/gtest.h>

namespace vantorel::cat {
namespace {

TEST(KeyingOf, EveryTransmitFormKeysOnlyAWholeReceiveUnkeys) {
  struct Row {
    const char* tail;
    bool whole;
    KeyingCommand keying;
  };
  const Row rows[] = {
      {"TX", true, KeyingCommand::kTransmit},  {"TX0", true, KeyingCommand::kTransmit},
      {"TX2", true, KeyingCommand::kTransmit}, {"ZTX", false, KeyingCommand::kTransmit},
      {"TX3", true, KeyingCommand::kNone},     {"RX", true, KeyingCommand::kReceive},
      {"RX", false, KeyingCommand::kNone},     {"ZRX", true, KeyingCommand::kNone},
      {"MX1", false, KeyingCommand::kMoxOn},   {"MX0", true, KeyingCommand::kMoxOff},
      {"MX0", false, KeyingCommand::kNone},    {"FA", true, KeyingCommand::kNone},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(KeyingOf(row.tail, row.whole), row.keying) << row.tail << " whole " << row.whole;
  }
}

}  // namespace
}  // namespace vantorel::cat
