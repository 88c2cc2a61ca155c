#include "tonemap/tonemap_effector.hpp"

#include "plugin/host_log.hpp"
#include "plugin/identifiers.hpp"
#include "plugin/pixel_store.hpp"
#include "plugin/version.hpp"

namespace zeb {

namespace {

// Luminance with the BT.601 luma weights. Single precision, product by product, in this order:
// the results are compared to the bit.
double luminance(const float* rgba) {
  const float red_part = rgba[0] * 0.299f;
  const float green_part = rgba[1] * 0.587f;
  const float blue_part = rgba[2] * 0.114f;
  const float y = (red_part + green_part) + blue_part;
  return static_cast<double>(y);
}

}  // namespace

zeb_tonemap_interface::zeb_tonemap_interface(HostServices& host) : host_services(&host) {}
zeb_tonemap_interface::~zeb_tonemap_interface() = default;

int32_t zeb_tonemap_interface::get_sdk_build(void*) { return SDK_BUILD; }
Uuid zeb_tonemap_interface::get_implementation_uuid(void*) { return TONEMAP_UUID; }
void zeb_tonemap_interface::set_effect_context(EffectContext* context, void*) {
  effect_context = context;
}

void zeb_tonemap_interface::apply_effect(void*) {
  // The operator's fixed parameters. The key and the white term are derived from them in double
  // rather than typed in: the decimal literals 0.6 and 1 / 1.44 are different doubles.
  constexpr double alpha = 0.1;
  constexpr double pre_scale = 6.0;
  constexpr double post_scale = 1.0;  // reported only; at 1.0 it has no step of its own
  constexpr double burn = 2.0;

  const int32_t start_ms = millisecond_clock();
  const HostLog log(*host_services);
  log.begin("[begin] zeb tonemap %d.%d.%d");

  const HostRef<HostImage> image(effect_context->get_effect_image(nullptr), adopt_ref);
  const ImageSize size = image->image_size(nullptr);
  const int32_t width = size.width;
  const int32_t height = size.height;

  log.format("Alpha: %6.2f [-]", {alpha});
  log.format("Pre-scale: %6.2f [-]", {pre_scale});
  log.format("Post-scale: %6.2f [-]", {post_scale});
  log.format("Burn: %6.2f [-]", {burn});

  const double key = alpha * pre_scale;
  const double white_root = alpha * pre_scale * burn;
  const double white = 1.0 / (white_root * white_root);

  float rgba[4];
  double sum = 0.0;
  for (int32_t x = 0; x < width; ++x) {
    for (int32_t y = 0; y < height; ++y) {
      image->get_pixel_rgba(x, y, rgba, nullptr);
      sum += luminance(rgba);
    }
  }

  // A NaN sum fails the comparison and falls back to 1.0 like an empty or black image. The pixel
  // count is formed in 64 bits: from 2^31 pixels on the 32-bit product would overflow.
  double mean = 1.0;
  if (width > 0 && height > 0 && sum > 0.0) {
    const int64_t pixel_count = static_cast<int64_t>(width) * static_cast<int64_t>(height);
    mean = sum / static_cast<double>(pixel_count);
  }
  const double scale = key / mean;

  for (int32_t x = 0; x < width; ++x) {
    for (int32_t y = 0; y < height; ++y) {
      image->get_pixel_rgba(x, y, rgba, nullptr);
      const double lum = luminance(rgba);
      const double factor = ((lum * white + 1.0) * scale) / (lum + 1.0);
      const auto narrow = static_cast<float>(factor);
      store_rgba(rgba, rgba[0] * narrow, rgba[1] * narrow, rgba[2] * narrow, rgba[3]);
      image->set_pixel_rgba(x, y, rgba, nullptr);
    }
  }

  log.format("Tonemapping took: %6.2f [sec]", {duration_seconds(start_ms, millisecond_clock())});
  log.line("[end] zeb tonemap");
}

}  // namespace zeb
