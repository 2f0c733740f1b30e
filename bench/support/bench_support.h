// What the benchmarks share: figures in microseconds, medians, measurements
// taken in turn, and the report of each figure beside its target.
#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace vantorel::bench {

using Clock = std::chrono::steady_clock;

// For a read that needs no event loop run while it waits.
extern const std::function<void()> kNoPump;

double Micros(Clock::duration d);

double Median(std::vector<double> samples);

// `samples` measurements of each of `kinds` things (`measure(kind)`), taken in
// turn so that a load that comes and goes on the machine weighs on each alike;
// a tenth more go first to warm up and are not kept.
std::vector<std::vector<double>> SamplesInTurn(std::size_t kinds, int samples,
                                               const std::function<double(std::size_t)>& measure);

// One line per figure: what, the figure, its target and whether it was met; a
// line without a target is there for reference.
class Report {
 public:
  struct Columns {
    int what;
    int figure;
    int target;
  };
  explicit Report(Columns columns) : columns_(columns) {}

  void Line(const std::string& what, const std::string& figure, const std::string& target,
            bool met);
  // Whether every target reported so far was met.
  [[nodiscard]] bool AllMet() const { return allMet_; }

 private:
  Columns columns_;
  bool allMet_ = true;
};

}  // namespace vantorel::bench
