#include "bloom/bloom_effector.hpp"

#include <algorithm>
#include <cmath>
#include <opencv2/core.hpp>

#include "bloom/aperture.hpp"
#include "bloom/diffraction_kernel.hpp"
#include "bloom/filtering.hpp"
#include "bloom/fresh_memory.hpp"
#include "camera/camera_optics.hpp"
#include "plugin/host_log.hpp"
#include "plugin/identifiers.hpp"
#include "plugin/pixel_store.hpp"
#include "plugin/version.hpp"

namespace zeb {

namespace {

// The smaller image side stands for 24 mm of film.
constexpr double FILM_HEIGHT = 0.024;
// 1.22 x 555 nm per unit of F-number, as the double product, not as its decimal rounding.
constexpr double AIRY_FACTOR = 1.22 * 5.55e-7;
static_assert(AIRY_FACTOR == 6.770999999999999e-07, "the Airy factor is the double product");

// Largest kernel side the pass builds: 8192 x 8192 doubles are 512 MiB before filtering starts.
// The 512-pixel apertures reach 3993 at F 64 and 7987 at F 128 on an image whose smaller side is
// 4320 (8K UHD), so every real lens on every usual image size stays below it; larger F-values
// would only exhaust memory (or overflow the size) for a blur wider than the image.
constexpr int32_t MAX_KERNEL_SIDE = 8192;

bool valid_shape(int32_t shape) { return shape == Circle || shape == Hexagon || shape == Heptagon; }

}  // namespace

zeb_bloom_interface::zeb_bloom_interface(HostServices& host) : host_services(&host) {}
zeb_bloom_interface::~zeb_bloom_interface() = default;

int32_t zeb_bloom_interface::get_sdk_build(void*) { return SDK_BUILD; }
Uuid zeb_bloom_interface::get_implementation_uuid(void*) { return BLOOM_UUID; }
void zeb_bloom_interface::set_effect_context(EffectContext* context, void*) {
  effect_context = context;
}

void zeb_bloom_interface::apply_effect(void*) {
  HostServices& host = *host_services;
  const HostLog log(host);

  // Declared in the order obtained, so the holders give the references back in reverse: the
  // rendered image, the stream, the camera, the scene (the aperture image, obtained last, first).
  const HostRef<Scene> scene(host.get_scene(nullptr), adopt_ref);
  const int32_t active = scene->active_camera_index(nullptr);
  const HostRef<Camera> camera(scene->camera_at(active, nullptr), adopt_ref);
  const HostRef<AttributeStream> stream(camera->find_stream(0, CAMERA_STREAM_ID, nullptr),
                                        adopt_ref);
  const HostRef<HostImage> image(effect_context->get_effect_image(nullptr), adopt_ref);
  const int32_t width = image->image_size(nullptr).width;
  const int32_t height = image->image_size(nullptr).height;

  CameraOpticsRecord record;  // Circle and 16 unless the camera holds a record
  log.begin("[begin] zeb bloom %d.%d.%d");
  if (stream) {
    stream->read_int(&record.aperture_shape, nullptr);
    stream->read_float(&record.f_value, nullptr);
  }
  const int32_t shape = record.aperture_shape;
  const double f_value = static_cast<double>(record.f_value);

  if (!valid_shape(shape)) {
    log.line("[error] Invalid aperture shape.");
    return;
  }
  // NaN and +inf pass "F > 0" but give no kernel size; they are as unusable as F <= 0.
  if (!(f_value > 0.0) || !std::isfinite(f_value)) {
    log.line("[error] Invalid F-value.");
    return;
  }
  // Without pixels there is no pitch (0.024 / 0 is infinite) and nothing to filter.
  if (width <= 0 || height <= 0) {
    log.line("[error] Invalid image size.");
    return;
  }

  const double pitch = FILM_HEIGHT / static_cast<double>(std::min(width, height));
  const double airy_radius = f_value * AIRY_FACTOR;
  log.format("Image width: %d [px]", {width});
  log.format("Image height: %d [px]", {height});
  log.format("Film height: %9.4e [m]", {FILM_HEIGHT});
  log.format("Sensor pitch: %9.4e [m]", {pitch});
  log.format("F-value: %9.4e [-]", {f_value});
  log.format("Airy radius: %9.4e [m]", {airy_radius});
  log.format("Airy radius: %9.4e [px]", {airy_radius / pitch});

  const HostRef<HostImage> aperture_image(
      host.get_resources(nullptr)->load_resource_image(aperture_resource_name(shape)), adopt_ref);
  log.line(aperture_shape_line(shape));
  const cv::Mat aperture = read_aperture_image(*aperture_image);

  // The kernel side grows with F times the image side; refuse before allocating what cannot be
  // represented or would only exhaust memory. A side that truncates to 0 (the Airy radius below
  // one pixel) is built as 1: a 1 x 1 kernel leaves the image as it is.
  const KernelSize kernel_size =
      diffraction_kernel_size(aperture.rows, aperture.cols, airy_radius, pitch);
  if (!kernel_size.valid || kernel_size.rows > MAX_KERNEL_SIDE ||
      kernel_size.cols > MAX_KERNEL_SIDE) {
    log.line("[error] Invalid F-value.");
    return;
  }
  cv::Mat kernel(kernel_matrix_size(kernel_size), CV_64FC1);

  const int32_t transform_start = millisecond_clock();
  if (build_diffraction_kernel_into(aperture, kernel) != KernelStatus::ok) {
    // An empty picture, or one whose power spectrum is flat (all black): no 0..1 scaling exists,
    // and filtering with what is left would write NaN or black into the image.
    log.line("[error] Invalid aperture image.");
    return;
  }
  log.format("Fourier transform took: %6.2f [sec]",
             {duration_seconds(transform_start, millisecond_clock())});

  const int32_t filter_start = millisecond_clock();
  cv::Mat pixels(height, width, CV_64FC3);
  cv::Mat alpha(height, width, CV_32FC1);
  commit_pages(pixels);
  commit_pages(alpha);
  float rgba[4];
  for (int32_t y = 0; y < height; ++y) {
    auto* row = pixels.ptr<cv::Vec3d>(y);
    auto* alpha_row = alpha.ptr<float>(y);
    for (int32_t x = 0; x < width; ++x) {
      image->get_pixel_rgba(x, y, rgba, nullptr);
      row[x] = cv::Vec3d(rgba[2], rgba[1], rgba[0]);
      alpha_row[x] = rgba[3];
    }
  }

  if (!normalize_kernel_sum(kernel)) {
    // A resampled kernel without weight would turn the image black; nothing has been written.
    log.line("[error] Invalid aperture image.");
    return;
  }
  filter_image(pixels, kernel);

  for (int32_t y = 0; y < height; ++y) {
    const auto* row = pixels.ptr<cv::Vec3d>(y);
    const auto* alpha_row = alpha.ptr<float>(y);
    for (int32_t x = 0; x < width; ++x) {
      store_rgba(rgba, static_cast<float>(row[x][2]), static_cast<float>(row[x][1]),
                 static_cast<float>(row[x][0]), alpha_row[x]);
      image->set_pixel_rgba(x, y, rgba, nullptr);
    }
  }
  log.format("Filtering took: %6.2f [sec]", {duration_seconds(filter_start, millisecond_clock())});
  log.line("[end] zeb bloom");
}

}  // namespace zeb
