// The filtering stage against plain cv::filter2D on the same inputs. Both filter in place, again
// and again: a unit-sum kernel keeps the values in range.
#include <benchmark/benchmark.h>

#include <opencv2/imgproc.hpp>

#include "bench/bench_support.hpp"
#include "bloom/filtering.hpp"

namespace {

void filtering_cases(benchmark::internal::Benchmark* bench) {
  bench->ArgNames({"width", "height", "kernel"});
  bench->Args({1920, 1080, 7});  // filter2D sums directly
  bench->Args({1920, 1080, 15});
  bench->Args({1920, 1080, 43});   // F 2.8 at 1080p
  bench->Args({1920, 1080, 249});  // F 16 at 1080p
  bench->Args({3840, 2160, 499});  // F 16 at 4K
  bench->Args({3840, 2160, 998});  // F 32 at 4K
  bench->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime();
}

void BM_filter_image(benchmark::State& state) {
  cv::Mat image = zeb::bench::random_image(int(state.range(0)), int(state.range(1)));
  const cv::Mat kernel = zeb::bench::random_kernel(int(state.range(2)));
  for (auto _ : state) {
    zeb::filter_image(image, kernel);
    benchmark::DoNotOptimize(image.data);
  }
  state.counters["bands"] =
      double(zeb::filter_dft_bands(image.size(), kernel.size(), image.channels()));
}
BENCHMARK(BM_filter_image)->Apply(filtering_cases);

void BM_filter2D(benchmark::State& state) {
  cv::Mat image = zeb::bench::random_image(int(state.range(0)), int(state.range(1)));
  const cv::Mat kernel = zeb::bench::random_kernel(int(state.range(2)));
  for (auto _ : state) {
    cv::filter2D(image, image, -1, kernel, cv::Point(-1, -1), 0.0, cv::BORDER_REFLECT_101);
    benchmark::DoNotOptimize(image.data);
  }
}
BENCHMARK(BM_filter2D)->Apply(filtering_cases);

}  // namespace
