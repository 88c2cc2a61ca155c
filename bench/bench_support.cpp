#include "bench/bench_support.hpp"

#include <sys/resource.h>

#include "bloom/bloom_effector.hpp"
#include "host/resources.hpp"
#include "tonemap/tonemap_effector.hpp"

namespace zeb::bench {

cv::Mat random_image(int width, int height, uint64_t seed) {
  cv::Mat image(height, width, CV_64FC3);
  cv::RNG(seed).fill(image, cv::RNG::UNIFORM, 0.0, 4.0);
  return image;
}

cv::Mat random_kernel(int side, uint64_t seed) {
  cv::Mat kernel(side, side, CV_64FC1);
  cv::RNG(seed).fill(kernel, cv::RNG::UNIFORM, 0.0, 1.0);
  kernel /= cv::sum(kernel)[0];
  return kernel;
}

EffectorRig::EffectorRig(Kind kind, int32_t width, int32_t height)
    : host(host::ResourceSettings{ZEB_RESOURCE_DIR}), image(host.make_image(width, height)) {
  host.scene().add_camera("Camera 1");  // without a record: circle, F 16
  cv::RNG rng(3);
  for (int32_t y = 0; y < height; ++y) {
    float* row = image.pixel(0, y);
    for (int32_t i = 0; i < width * 4; ++i) row[i] = rng.uniform(0.0f, 4.0f);
  }
  if (kind == Kind::bloom)
    effector = new zeb_bloom_interface(host);
  else
    effector = new zeb_tonemap_interface(host);
  effector->AddRef();
  effector->set_effect_context(&host.make_effect_context(image), nullptr);
}

EffectorRig::~EffectorRig() { effector->Release(); }

void EffectorRig::apply() {
  effector->apply_effect(nullptr);
  host.messages.clear();
}

double peak_rss_mib() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;  // kilobytes on Linux
}

}  // namespace zeb::bench
