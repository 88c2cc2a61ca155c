// One bloom pass (F 16, circular aperture) through the in-memory host; prints its wall time and
// the peak resident set of the process. Built twice: with the project's filtering stage and with
// plain cv::filter2D in its place (filter2d_filtering.cpp), for the memory comparison.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/bench_support.hpp"

int main(int argc, char** argv) {
  const int32_t width = argc > 1 ? std::atoi(argv[1]) : 3840;
  const int32_t height = argc > 2 ? std::atoi(argv[2]) : 2160;
  zeb::bench::EffectorRig rig(zeb::bench::EffectorRig::Kind::bloom, width, height);
  const double before = zeb::bench::peak_rss_mib();
  const auto start = std::chrono::steady_clock::now();
  rig.effector->apply_effect(nullptr);
  const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
  for (const std::string& line : rig.host.messages)
    if (line.find("took") != std::string::npos) std::printf("  %s\n", line.c_str());
  std::printf("%s %dx%d: pass %.3f s, peak RSS %.0f MiB (%.0f MiB before the pass)\n", ZEB_VARIANT,
              width, height, took.count(), zeb::bench::peak_rss_mib(), before);
  return 0;
}
