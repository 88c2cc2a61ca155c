// Times the project's filtering stage and plain cv::filter2D on the same inputs, one line per
// case: both wall times (best of a few runs), their ratio and the largest difference of the two
// results relative to the image's largest value.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <opencv2/imgproc.hpp>

#include "bench/bench_support.hpp"
#include "bloom/filtering.hpp"

namespace {

struct Case {
  int width, height, kernel;
};

double best_seconds(int runs, const cv::Mat& source, cv::Mat& result,
                    const std::function<void(cv::Mat&)>& filter) {
  double best = 1e300;
  for (int run = 0; run < runs; ++run) {
    source.copyTo(result);
    const auto start = std::chrono::steady_clock::now();
    filter(result);
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    best = std::min(best, took.count());
  }
  return best;
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
  const Case cases[] = {{1920, 1080, 7},   {1920, 1080, 15},  {1920, 1080, 43},
                        {1920, 1080, 249}, {3840, 2160, 499}, {3840, 2160, 998}};
  std::printf("filtering stage vs cv::filter2D, CV_64FC3, best of %d, %d threads\n", runs,
              cv::getNumThreads());
  for (const Case& c : cases) {
    const cv::Mat image = zeb::bench::random_image(c.width, c.height);
    const cv::Mat kernel = zeb::bench::random_kernel(c.kernel);
    cv::Mat ours, theirs;
    const double ours_s =
        best_seconds(runs, image, ours, [&](cv::Mat& m) { zeb::filter_image(m, kernel); });
    const double theirs_s = best_seconds(runs, image, theirs, [&](cv::Mat& m) {
      cv::filter2D(m, m, -1, kernel, cv::Point(-1, -1), 0.0, cv::BORDER_REFLECT_101);
    });
    const double difference = cv::norm(ours, theirs, cv::NORM_INF) / cv::norm(image, cv::NORM_INF);
    std::printf(
        "%4dx%-4d K=%-4d filter_image %8.3f s  filter2D %8.3f s  ratio %5.2fx  %s  "
        "max rel diff %.1e\n",
        c.width, c.height, c.kernel, ours_s, theirs_s, theirs_s / ours_s,
        zeb::filter_uses_dft(image.size(), kernel.size()) ? "dft" : "filter2D", difference);
    std::fflush(stdout);
  }
  return 0;
}
