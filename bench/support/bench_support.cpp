#include "bench_support.h"

#include <algorithm>
#include <cstdio>

namespace vantorel::bench {

const std::function<void()> kNoPump = [] {};

double Micros(Clock::duration d) { return std::chrono::duration<double, std::micro>(d).count(); }

double Median(std::vector<double> samples) {
  std::sort(samples.begin(), samples.end());
  return samples[samples.size() / 2];
}

std::vector<std::vector<double>> SamplesInTurn(std::size_t kinds, int samples,
                                               const std::function<double(std::size_t)>& measure) {
  std::vector<std::vector<double>> taken(kinds);
  for (int i = 0; i < samples + samples / 10; ++i) {
    for (std::size_t kind = 0; kind < kinds; ++kind) {
      const double figure = measure(kind);
      if (i >= samples / 10) {
        taken[kind].push_back(figure);
      }
    }
  }
  return taken;
}

void Report::Line(const std::string& what, const std::string& figure, const std::string& target,
                  bool met) {
  std::printf("%-*s %-*s %-*s %s\n", columns_.what, what.c_str(), columns_.figure, figure.c_str(),
              columns_.target, target.c_str(), target.empty() ? "" : (met ? "met" : "MISSED"));
  std::fflush(stdout);
  allMet_ = allMet_ && met;
}

}  // namespace vantorel::bench
