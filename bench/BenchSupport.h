// What the benchmark programs share: a reporter that keeps each benchmark's best run for
// the ratios printed at the end, and start-up with the repetitions shuffled.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace benchsupport {

// Keeps each benchmark's best time per iteration, in nanoseconds: a shared machine makes
// single runs swing, and the best runs are the ones least disturbed.
class BestRunReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.run_type == Run::RT_Iteration && run.iterations > 0) {
        const double ns = run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit) * 1e9;
        auto [at, added] = m_times.emplace(run.benchmark_name(), ns);
        if (!added && ns < at->second) {
          at->second = ns;
        }
      }
    }
    ConsoleReporter::ReportRuns(runs);
  }

  // The best time of the run whose name starts with prefix ("BM_X/100000/"); 0 when none ran.
  [[nodiscard]] double Find(const std::string& prefix) const {
    const auto found = m_times.lower_bound(prefix);
    return found != m_times.end() && found->first.rfind(prefix, 0) == 0 ? found->second : 0.0;
  }

  // Find(a) / Find(b) against its limit; nothing when either did not run.
  void PrintRatio(const char* label, const std::string& a, const std::string& b, double limit) const {
    const double x = Find(a);
    const double y = Find(b);
    if (x > 0 && y > 0) {
      PrintRatio(label, x / y, limit);
    }
  }

  // (Find(a) - Find(b)) / Find(c), without a limit; an empty b counts as zero.
  void PrintShare(const char* label, const std::string& a, const std::string& b, const std::string& c) const {
    const double x = Find(a);
    const double y = b.empty() ? 0.0 : Find(b);
    const double z = Find(c);
    if (x <= 0 || z <= 0 || (!b.empty() && y <= 0)) {
      return;
    }
    std::printf("%-58s %7.2f\n", label, (x - y) / z);
  }

  static void PrintRatio(const char* label, double ratio, double limit) {
    std::printf("%-58s %7.2f  (limit %.0f)%s\n", label, ratio, limit, ratio <= limit ? "" : "  OVER");
  }

 private:
  std::map<std::string, double> m_times;
};

// benchmark::Initialize with the repetitions of all benchmarks shuffled, so that each
// ratio's best runs come from the same kind of phase of a shared machine. A flag given on
// the command line comes later and wins.
inline void InitializeInterleaved(int argc, char** argv) {
  // Built by appending: GCC 12 reports a false null dereference for inserting at the front.
  // Static: the library may keep pointers into the arguments it was given.
  static char interleave[] = "--benchmark_enable_random_interleaving=true";
  static std::vector<char*> args;
  args.reserve(static_cast<size_t>(argc) + 1);
  args.push_back(argv[0]);
  args.push_back(interleave);
  for (int i = 1; i < argc; ++i) {
    args.push_back(argv[i]);
  }
  int count = static_cast<int>(args.size());
  benchmark::Initialize(&count, args.data());
}

}  // namespace benchsupport
