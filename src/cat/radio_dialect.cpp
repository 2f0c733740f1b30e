#include "cat/radio_dialect.h"

#include <algorithm>

#include "cat/text_helpers.h"

namespace vantorel::cat {
namespace {

constexpr auto kTs590Answers = std::to_array<RadioAnswerForm>({
    {RadioKey::kFrequencyA, "FA;", "FA###########;"},
    {RadioKey::kFrequencyB, "FB;", "FB###########;"},
    {RadioKey::kMode, "MD;", "MD*;"},
    {RadioKey::kData, "DA;", "DA#;"},
    // Frequency, five unused characters, clarifier offset, clarifier switches,
    // memory channel, transmit, mode, VFO, scan, split, tone, tone number, one more.
    {RadioKey::kStatus, "IF;", "IF###########*****+##################;"},
    {RadioKey::kReceiveVfo, "FR;", "FR#;"},
    {RadioKey::kTransmitVfo, "FT;", "FT#;"},
    {RadioKey::kPower, "PS;", "PS#;"},
    {RadioKey::kRfPower, "PC;", "PC###;"},
    {RadioKey::kAfGain, "AG0;", "AG0###;"},
    {RadioKey::kRfGain, "RG;", "RG###;"},
    {RadioKey::kSquelch, "SQ0;", "SQ0###;"},
    {RadioKey::kAgc, "GT;", "GT##;"},
    {RadioKey::kKeySpeed, "KS;", "KS###;"},
    {RadioKey::kMicGain, "MG;", "MG###;"},
    {RadioKey::kSMeter, "SM0;", "SM0####;"},
    // One meter read brings all three transmit meters.
    {RadioKey::kSwrMeter, "RM;", "RM1####;"},
    {RadioKey::kCompMeter, "RM;", "RM2####;"},
    {RadioKey::kAlcMeter, "RM;", "RM3####;"},
    {RadioKey::kRit, "RT;", "RT#;"},
    {RadioKey::kXit, "XT;", "XT#;"},
});

constexpr bool KeysInOrder(std::span<const RadioAnswerForm> answers) {
  for (std::size_t i = 0; i < answers.size(); ++i) {
    if (static_cast<std::size_t>(answers[i].key) != i) {
      return false;
    }
  }
  return answers.size() == kRadioKeys;
}
static_assert(KeysInOrder(kTs590Answers), "the answers are indexed by RadioKey");
static_assert(kTs590Answers[static_cast<std::size_t>(RadioKey::kStatus)].form.size() ==
              status::kLength);

constexpr auto kKenwoodRefusals = std::to_array<std::string_view>({"?;", "E;", "O;"});

}  // namespace

const RadioDialect kTs590Dialect{
    .name = "TS-590S/SG",
    .terminator = ';',
    .autoInformationOn = "AI1;",
    .keyDown = "TX1;",
    .unkey = "RX;",
    .testCommands = "FA00014251300;IF;",
    .answers = kTs590Answers,
    .refusals = kKenwoodRefusals,
};

std::uint64_t RadioDialect::MessagesIn(std::string_view text) const {
  return CountMessages(text, terminator);
}

bool RadioDialect::IsRefusal(std::string_view message) const {
  return std::find(refusals.begin(), refusals.end(), message) != refusals.end();
}

}  // namespace vantorel::cat
