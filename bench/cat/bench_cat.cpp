// Time per message through each translation, for a mix of traffic like that of
// a remote session: App 1 polls frequency, status and meters many times a
// second and now and then changes a setting; the radio answers in kind.
#include <benchmark/benchmark.h>

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "cat/answer_translation.h"
#include "cat/command_translation.h"

namespace {

using vantorel::cat::CatPort;
using vantorel::cat::CatPorts;

// Open ports that take every write and keep nothing.
class DiscardingPorts : public CatPorts {
 public:
  [[nodiscard]] bool IsOpen(CatPort) const override { return true; }
  void Write(CatPort, std::string_view text) override { benchmark::DoNotOptimize(text.data()); }
};

constexpr std::array<std::string_view, 32> kApp1Commands = {
    "FA;",     "IF;",   "SM0;",  "FA14251300;", "FB;",   "IF;",    "SM0;",    "FA;",
    "MD0;",    "RM1;",  "IF;",   "FA14252500;", "MD02;", "MK1;",   "AG0128;", "RG0255;",
    "ML0100;", "VS0;",  "FT2;",  "BS05;",       "MX1;",  "MX0;",   "PS;",     "IS0+0500;",
    "SH012;",  "GT04;", "RF02;", "NA00;",       "BI1;",  "AC001;", "ms2;",    "FA07100000;",
};

constexpr std::array<std::string_view, 32> kRadioAnswers = {
    "FA00014251300;", "IF00014250000     +012010005020000000;",
    "SM00015;",       "FA00014251300;",
    "RM30005;",       "IF00014250000     +012010005020000000;",
    "SM00007;",       "MD2;",
    "FA00014252500;", "AG0128;",
    "RG255;",         "ML004;",
    "SM00030;",       "VS0;",
    "FT0;",           "FR0;",
    "TX0;",           "RX;",
    "PS1;",           "NA00;",
    "RL05;",          "MG102;",
    "VG009;",         "LK10;",
    "SM00000;",       "FA00007100000;",
    "MD3;",           "RM60000;",
    "AC110;",         "NB1;",
    "BP015;",         "AI1;",
};

void BM_ChangeInput(benchmark::State& state) {
  DiscardingPorts ports;
  vantorel::cat::TranslationState translation;
  vantorel::cat::KeyingState keying;
  vantorel::cat::CommandContext ctx{.translation = translation, .keying = keying, .ports = ports};
  std::size_t next = 0;
  for (auto _ : state) {
    std::string message(kApp1Commands[next]);
    next = (next + 1) % kApp1Commands.size();
    benchmark::DoNotOptimize(vantorel::cat::ChangeInput(message, ctx));
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ChangeInput);

void BM_Changeoutput(benchmark::State& state) {
  DiscardingPorts ports;
  std::size_t next = 0;
  for (auto _ : state) {
    std::string answer(kRadioAnswers[next]);
    next = (next + 1) % kRadioAnswers.size();
    benchmark::DoNotOptimize(vantorel::cat::Changeoutput(answer, ports));
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_Changeoutput);

}  // namespace

BENCHMARK_MAIN();
