// The Fourier transform stage of a bloom pass: the kernel built from a 512 x 512 aperture.
#include <benchmark/benchmark.h>

#include <opencv2/imgproc.hpp>

#include "bloom/diffraction_kernel.hpp"

namespace {

// F 16 on a 1920 x 1080 image: a 249 x 249 kernel.
void BM_build_diffraction_kernel(benchmark::State& state) {
  cv::Mat aperture = cv::Mat::zeros(512, 512, CV_64FC1);
  cv::circle(aperture, cv::Point(256, 256), 200, cv::Scalar(1.0), cv::FILLED);
  const double airy_radius = 16.0 * (1.22 * 5.55e-7);
  const double pitch = 0.024 / 1080.0;
  for (auto _ : state) {
    zeb::DiffractionKernel kernel = zeb::build_diffraction_kernel(aperture, airy_radius, pitch);
    benchmark::DoNotOptimize(kernel.values.data);
  }
}
BENCHMARK(BM_build_diffraction_kernel)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
