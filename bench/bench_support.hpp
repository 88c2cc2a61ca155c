// Inputs shared by the benchmarks and the comparison tools: deterministic random images and
// unit-sum kernels, and a bloom or tonemap pass through the in-memory host.
#pragma once

#include <cstdint>
#include <memory>
#include <opencv2/core.hpp>

#include "host/memory_host.hpp"
#include "plugin/host.hpp"
#include "sxsdk/plugin_interface.hpp"

namespace zeb::bench {

// H x W CV_64FC3 with values in [0, 4): light above 1, as renderings have.
cv::Mat random_image(int width, int height, uint64_t seed = 1);

// side x side CV_64FC1, values in [0, 1), normalised to unit sum.
cv::Mat random_kernel(int side, uint64_t seed = 2);

// The host, a rendered image of the given size with random colours and the effect context
// around it; the effector of the given kind is created on it.
struct EffectorRig {
  enum class Kind { bloom, tonemap };
  EffectorRig(Kind kind, int32_t width, int32_t height);
  ~EffectorRig();
  EffectorRig(const EffectorRig&) = delete;
  EffectorRig& operator=(const EffectorRig&) = delete;

  void apply();  // one effect pass

  host::MemoryHost host;
  host::MemoryImage& image;
  sxsdk::effector_interface* effector = nullptr;
};

// Peak resident set of this process so far, in MiB.
double peak_rss_mib();

}  // namespace zeb::bench
