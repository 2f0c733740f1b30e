// Time per message through each translation, for a mix of traffic like that of
// a remote session: App 1 polls frequency, status and meters many times a
// second and now and then changes a setting; the radio answers in kind.
#include <benchmark/benchmark.h>

#include <array>
#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "cat/answer_translation.h"
#include "cat/command_translation.h"
#include "cat/ft950_emulation.h"

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

// The FT-950 emulation with a Hamlib session's traffic: reads that wait for
// the radio, reads answered at once, settings and keying.
constexpr std::array<std::string_view, 24> kFt950Commands = {
    "FA;", "IF;",  "SM0;", "MD0;",  "SH0;",  "NA0;",   "TX;",  "FA14251300;",
    "FA;", "VS;",  "FT;",  "ID;",   "PC;",   "PC050;", "AG0;", "AG0128;",
    "ID;", "GT0;", "RM6;", "MD02;", "RF03;", "SH013;", "TX1;", "TX0;",
};

// The radio's answers to the reads those commands become.
struct RadioRead {
  std::string_view read;
  std::string_view answer;
};
constexpr std::array<RadioRead, 12> kRadioReads = {{
    {"FA;", "FA00014251300;"},
    {"IF;", "IF00014251300     +000000000020000000;"},
    {"DA;", "DA0;"},
    {"SM0;", "SM00015;"},
    {"MD;", "MD2;"},
    {"FR;", "FR0;"},
    {"FT;", "FT0;"},
    {"PC;", "PC050;"},
    {"AG0;", "AG0128;"},
    {"GT;", "GT10;"},
    {"RM;", "RM10003;RM20000;RM30005;"},
    {"PS;", "PS1;"},
}};

// The radio's answers, one message each, to a text of radio commands.
std::vector<std::string_view> RadioAnswers(std::string_view commands) {
  std::vector<std::string_view> answers;
  for (auto end = commands.find(';'); end != std::string_view::npos; end = commands.find(';')) {
    for (const RadioRead& row : kRadioReads) {
      std::string_view answer = row.read == commands.substr(0, end + 1) ? row.answer : "";
      for (auto last = answer.find(';'); last != std::string_view::npos; last = answer.find(';')) {
        answers.push_back(answer.substr(0, last + 1));
        answer.remove_prefix(last + 1);
      }
    }
    commands.remove_prefix(end + 1);
  }
  return answers;
}

// One session round: App 1's commands, then the radio's answers. Only one
// side is timed, by hand, and its time divided by its calls: the benchmark's
// time is per command or per answer.
template <bool kTimeCommands>
void Ft950Round(benchmark::State& state) {
  using Clock = std::chrono::steady_clock;
  vantorel::cat::Ft950Emulation emulation{vantorel::cat::DefaultRadioDialect()};
  vantorel::cat::KeyingState keying;
  DiscardingPorts ports;
  vantorel::cat::DialectContext ctx{.keying = keying, .ports = ports, .now = {}};
  std::string toRadio;
  for (auto _ : state) {
    ctx.now = Clock::now();
    toRadio.clear();
    auto start = Clock::now();
    for (const std::string_view command : kFt950Commands) {
      const vantorel::cat::CommandResult out = emulation.Command(command, ctx);
      toRadio += out.toRadio;
      benchmark::DoNotOptimize(out.toApp.data());
    }
    Clock::duration elapsed = Clock::now() - start;
    std::size_t calls = kFt950Commands.size();
    const std::vector<std::string_view> answers = RadioAnswers(toRadio);
    start = Clock::now();
    for (const std::string_view answer : answers) {
      benchmark::DoNotOptimize(emulation.Answer(answer, ctx));
    }
    if (!kTimeCommands) {
      elapsed = Clock::now() - start;
      calls = answers.size();
    }
    state.SetIterationTime(std::chrono::duration<double>(elapsed).count() /
                           static_cast<double>(calls));
  }
}

// Nanoseconds per App 1 command.
void BM_Ft950Command(benchmark::State& state) { Ft950Round<true>(state); }
BENCHMARK(BM_Ft950Command)->UseManualTime();

// Nanoseconds per radio answer.
void BM_Ft950Answer(benchmark::State& state) { Ft950Round<false>(state); }
BENCHMARK(BM_Ft950Answer)->UseManualTime();

}  // namespace

BENCHMARK_MAIN();
