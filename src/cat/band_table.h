// Band select: the bottom of each band App 1 can choose, as the radio's
// eleven-digit VFO A frequency. App 1 asks for a band with these messages, and
// the radio's own band-select answers get the same frequencies back.
#pragma once

#include <array>
#include <string_view>

#include "cat/message_text.h"

namespace vantorel::cat {

struct BandBottom {
  std::string_view select;
  std::string_view frequency;
};

// App 1 numbers no 60 m band (BS02;) and none above 10 m.
inline constexpr auto kBandBottoms = std::to_array<BandBottom>({
    {"BS00;", "FA00001800000;"},  // 160 m
    {"BS01;", "FA00003500000;"},  // 80 m
    {"BS03;", "FA00007000000;"},  // 40 m
    {"BS04;", "FA00010000000;"},  // 30 m
    {"BS05;", "FA00014000000;"},  // 20 m
    {"BS06;", "FA00018000000;"},  // 17 m
    {"BS07;", "FA00021000000;"},  // 15 m
    {"BS08;", "FA00024500000;"},  // 12 m
    {"BS09;", "FA00028000000;"},  // 10 m
});

inline constexpr TableIndex kBandIndex(kBandBottoms, &BandBottom::select);
static_assert(kBandIndex.KeysUnique() && kBandIndex.KeysWithin(5));

}  // namespace vantorel::cat
