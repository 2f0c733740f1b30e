#include "cat/ft950_widths.h"

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <utility>

#include "cat/text_helpers.h"

namespace vantorel::cat::ft950 {
namespace {

// The entry of an edge's table nearest to `hertz` (the first of two as near).
std::size_t Nearest(std::span<const int> hertz, int wanted) {
  const auto nearest = std::min_element(hertz.begin(), hertz.end(), [&](int a, int b) {
    return std::abs(a - wanted) < std::abs(b - wanted);
  });
  return static_cast<std::size_t>(nearest - hertz.begin());
}

// The entries the radio is set to for `hertz`: the width alone, or the pair
// of cuts nearest to it, the low cut nearest the usual one among equals.
std::pair<std::size_t, std::size_t> Chosen(const FilterForms& forms, int hertz) {
  if (forms.low.key == RadioKey::kNone) {
    return {0, Nearest(forms.high.hertz, hertz)};
  }
  std::pair<std::size_t, std::size_t> best{0, 0};
  int bestMiss = -1;
  int bestLow = 0;
  for (std::size_t low = 0; low < forms.low.hertz.size(); ++low) {
    for (std::size_t high = 0; high < forms.high.hertz.size(); ++high) {
      const int lowCut = forms.low.hertz[low];
      const int miss = std::abs(forms.high.hertz[high] - lowCut - hertz);
      const bool better =
          bestMiss < 0 || miss < bestMiss ||
          (miss == bestMiss && std::abs(lowCut - kUsualLowCut) < std::abs(bestLow - kUsualLowCut));
      if (forms.high.hertz[high] > lowCut && better) {
        best = {low, high};
        bestMiss = miss;
        bestLow = lowCut;
      }
    }
  }
  return best;
}

int Width(const FilterForms& forms, std::pair<std::size_t, std::size_t> entries) {
  const int high = forms.high.hertz[entries.second];
  return forms.low.key == RadioKey::kNone ? high : high - forms.low.hertz[entries.first];
}

std::string EdgeSetting(const RadioDialect& dialect, const FilterEdge& edge, std::size_t entry) {
  return dialect.SetNumber(edge.key, edge.indexed ? static_cast<long>(entry) : edge.hertz[entry]);
}

// The hertz the radio's latest value of an edge stands for.
std::optional<int> EdgeHertz(const FilterEdge& edge, const RadioAnswers& radio) {
  const auto value = radio.Number(edge.key);
  if (!value) {
    return std::nullopt;
  }
  if (!edge.indexed) {
    return static_cast<int>(*value);
  }
  return edge.hertz[std::min(static_cast<std::size_t>(*value), edge.hertz.size() - 1)];
}

}  // namespace

int App1Hertz(std::size_t modeRow, WidthAsked width) {
  const Widths& widths = kWidths[static_cast<std::size_t>(kModes[modeRow].widths)];
  if (widths.hertz.empty()) {
    return 0;
  }
  if (width.index == 0) {
    return width.narrow ? widths.standardNarrow : widths.standard;
  }
  const int entry = std::max(width.index - widths.firstIndex, 0);
  return widths.hertz[std::min(static_cast<std::size_t>(entry), widths.hertz.size() - 1)];
}

std::string FilterSetting(const RadioDialect& dialect, FilterClass which, int hertz) {
  const FilterForms& forms = dialect.FiltersOf(which);
  if (forms.high.key == RadioKey::kNone || hertz <= 0) {
    return {};
  }
  const auto entries = Chosen(forms, hertz);
  std::string setting;
  if (forms.low.key != RadioKey::kNone) {
    setting = EdgeSetting(dialect, forms.low, entries.first);
  }
  return setting + EdgeSetting(dialect, forms.high, entries.second);
}

Needs WidthNeeds(const RadioDialect& dialect, FilterClass which) {
  const FilterForms& forms = dialect.FiltersOf(which);
  return {forms.high.key, forms.low.key};
}

std::string WidthReply(WidthAsked asked, const RadioAnswers& radio, App1Choices& choices) {
  const std::size_t row = CurrentModeRow(radio, choices);
  const Widths& widths = kWidths[static_cast<std::size_t>(kModes[row].widths)];
  const FilterForms& forms = radio.Dialect().FiltersOf(FilterClassOf(kModes[row].mode));
  if (widths.hertz.empty()) {
    return std::string(kRefused);
  }
  std::optional<int> held =
      forms.high.key == RadioKey::kNone ? std::nullopt : EdgeHertz(forms.high, radio);
  if (held && forms.low.key != RadioKey::kNone) {
    const auto low = EdgeHertz(forms.low, radio);
    held = low ? std::optional(*held - *low) : std::nullopt;
  }
  int index = asked.index;
  const int app1 = App1Hertz(row, asked);
  if (held && Width(forms, Chosen(forms, app1)) != *held) {
    index = widths.firstIndex + static_cast<int>(Nearest(widths.hertz, *held));
  }
  return "SH0" + ZeroFill(std::to_string(index), 2) + ";";
}

}  // namespace vantorel::cat::ft950
