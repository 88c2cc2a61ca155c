// Whole effect passes through the in-memory host, and the cost of one pixel crossing the host
// interface, which every pass pays once or twice per pixel.
#include <benchmark/benchmark.h>

#include "bench/bench_support.hpp"

namespace {

using zeb::bench::EffectorRig;

void BM_bloom_pass(benchmark::State& state) {
  EffectorRig rig(EffectorRig::Kind::bloom, int32_t(state.range(0)), int32_t(state.range(1)));
  for (auto _ : state) rig.apply();
  state.counters["peak_rss_MiB"] = zeb::bench::peak_rss_mib();
}
BENCHMARK(BM_bloom_pass)
    ->ArgNames({"width", "height"})
    ->Args({1920, 1080})
    ->Args({3840, 2160})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

void BM_tonemap_pass(benchmark::State& state) {
  EffectorRig rig(EffectorRig::Kind::tonemap, int32_t(state.range(0)), int32_t(state.range(1)));
  for (auto _ : state) rig.apply();
}
BENCHMARK(BM_tonemap_pass)
    ->ArgNames({"width", "height"})
    ->Args({3840, 2160})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// Through the interface the module sees, as a virtual call per pixel.
void BM_host_get_pixel(benchmark::State& state) {
  zeb::host::MemoryHost host;
  zeb::HostImage& image = host.make_image(1920, 1080);
  float rgba[4];
  for (auto _ : state) {
    for (int32_t y = 0; y < 1080; ++y)
      for (int32_t x = 0; x < 1920; ++x) {
        image.get_pixel_rgba(x, y, rgba, nullptr);
        benchmark::DoNotOptimize(rgba);
      }
  }
  state.SetItemsProcessed(state.iterations() * 1920 * 1080);
}
BENCHMARK(BM_host_get_pixel)->Unit(benchmark::kMillisecond);

void BM_host_set_pixel(benchmark::State& state) {
  zeb::host::MemoryHost host;
  zeb::HostImage& image = host.make_image(1920, 1080);
  float rgba[4] = {0.5f, 0.25f, 0.125f, 1.0f};
  for (auto _ : state) {
    for (int32_t y = 0; y < 1080; ++y)
      for (int32_t x = 0; x < 1920; ++x) {
        image.set_pixel_rgba(x, y, rgba, nullptr);
        benchmark::ClobberMemory();
      }
  }
  state.SetItemsProcessed(state.iterations() * 1920 * 1080);
}
BENCHMARK(BM_host_set_pixel)->Unit(benchmark::kMillisecond);

}  // namespace
