// The facts of the Kenwood-to-Yaesu answer translation, as data: how the
// radio's level answers are rescaled for App 1, how its meter selectors map,
// and which whole answers App 1 receives in another form. Changeoutput reads
// these tables with one loop each, and the tests walk the same rows.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

#include "cat/band_table.h"
#include "cat/message_text.h"

namespace vantorel::cat::answers {

enum class ValueRule {
  kValue,        // as the radio gives it
  kProduct,      // value times an integer factor
  kNearestEven,  // value times a factor, to the nearest integer (halves to even)
};

struct AnswerFamily {
  std::string_view letters;  // the radio answer begins with these
  std::size_t fieldLength;   // characters read from the 3rd on
  ValueRule rule;
  double factor;
  int cap;                  // larger results become the cap; 0: no cap
  std::size_t minWidth;     // zero-fill of the digits
  std::string_view prefix;  // App 1's answer: prefix, digits, ";"
};

// The radio reports levels in its own steps; App 1 shows 0..255 (monitor,
// noise blanker level, microphone gain) or 0..100 (VOX gain).
inline constexpr auto kAnswerFamilies = std::to_array<AnswerFamily>({
    {"ML", 4, ValueRule::kProduct, 25.0, 255, 3, "ML1"},
    {"AC", 1, ValueRule::kValue, 1.0, 0, 1, "AC00"},
    {"AN", 1, ValueRule::kValue, 1.0, 0, 1, "AN0"},
    {"RL", 4, ValueRule::kNearestEven, 1.5, 0, 2, "RL0"},
    {"NL", 4, ValueRule::kProduct, 25.0, 255, 3, "NL0"},
    {"NB", 4, ValueRule::kValue, 1.0, 0, 1, "NB0"},
    {"BP", 4, ValueRule::kValue, 1.0, 0, 3, "BP01"},
    {"RG", 4, ValueRule::kValue, 1.0, 0, 3, "RG0"},
    {"AG", 4, ValueRule::kValue, 1.0, 0, 3, "AG0"},
    // App 1 sets its VOX gain as VG and three digits, and reads it back in the
    // same form.
    {"VG", 4, ValueRule::kProduct, 11.0, 100, 3, "VG"},
    {"MG", 4, ValueRule::kNearestEven, 2.5, 255, 3, "MG"},
});

// The radio's meter selector (3rd character of its RM answer) against App 1's.
struct MeterSelector {
  char radio;
  char app1;
};

inline constexpr char kOtherMeter = '0';
inline constexpr auto kMeterSelectors = std::to_array<MeterSelector>({
    {'3', '2'},
    {'4', '3'},
    {'6', '1'},
});

// Whole answers App 1 receives in another form, compared upper-cased after
// the band rows (band_table.h). Where `alsoWrite` is set, App 1 first
// receives that text on its own.
struct AnswerRow {
  std::string_view text;
  std::string_view replacement;
  std::string_view alsoWrite = {};
};

inline constexpr auto kWholeAnswers = std::to_array<AnswerRow>({
    // Mode: App 1 expects a 0 before the mode digit.
    {"MD1;", "MD01;"},
    {"MD2;", "MD02;"},
    {"MD3;", "MD03;"},
    {"MD4;", "MD04;"},
    {"MD5;", "MD05;"},
    {"MD6;", "MD06;"},
    {"MD7;", "MD07;"},
    {"MD8;", "MD08;"},
    // Transmit and receive confirmations are not App 1's business.
    {"TX;", ""},
    {"RX;", ""},
    {"VS1;", "FT1;FR1;", "VS1;"},
    {"VS0;", "FT0;FR0;", "VS0;"},
    {"NA01;", "MD7;FL007007;SH;SL;", "NA01;"},
    {"NA00;", "MD3;", "NA00;"},
    {"DS1;", "FL007007;SH;SL;RX;AI1;"},
    {"DS0;", "FL005002;SH;SL;RX;AI1;"},
});

// Longest answer the whole-answer table can match; longer ones need no upper-case copy.
inline constexpr std::size_t kLongestWholeAnswer = 5;

inline constexpr TableIndex kWholeAnswerIndex(kWholeAnswers, &AnswerRow::text);
static_assert(kWholeAnswerIndex.KeysUnique() && kWholeAnswerIndex.KeysWithin(kLongestWholeAnswer));

// The band rows are looked up first; no row here may shadow one.
static_assert(NoKeyIn(kBandIndex, kWholeAnswers, &AnswerRow::text));

}  // namespace vantorel::cat::answers
