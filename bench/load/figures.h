// Percentiles of latency samples, and the rows the load benchmark prints: one figure per
// line, tab-separated (figure, value, target, verdict), for scripts/run-benchmarks.sh.
#pragma once

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace hovra::bench {

// The q-quantile (0..1) of `samples` by the nearest-rank rule; 0 when there are none.
inline double Percentile(std::vector<double> samples, double q) {
  if (samples.empty()) return 0;
  std::sort(samples.begin(), samples.end());
  size_t rank = static_cast<size_t>(q * static_cast<double>(samples.size()) + 0.999999);
  rank = std::clamp<size_t>(rank, 1, samples.size());
  return samples[rank - 1];
}

enum class Verdict { kInformative, kMet, kMissed };

inline void PrintFigure(const std::string& figure, const std::string& value,
                        const std::string& target = "-", Verdict verdict = Verdict::kInformative) {
  const char* word = verdict == Verdict::kMet      ? "met"
                     : verdict == Verdict::kMissed ? "MISSED"
                                                   : "-";
  std::printf("%s\t%s\t%s\t%s\n", figure.c_str(), value.c_str(), target.c_str(), word);
  std::fflush(stdout);
}

inline Verdict Check(bool met) { return met ? Verdict::kMet : Verdict::kMissed; }

inline std::string Format(const char* format, double value) {
  char text[64];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

}  // namespace hovra::bench
