#include "bloom/aperture.hpp"

#include "camera/camera_optics.hpp"

namespace zeb {

namespace {

// The picture and the log line of each shape, in ApertureShape order.
struct aperture_entry {
  const char* resource_name;
  const char* log_line;
};
const aperture_entry APERTURES[] = {
    {"IMG_CIRCLE", "Aperture shape: circle"},
    {"IMG_HEXAGON", "Aperture shape: hexagon"},
    {"IMG_HEPTAGON", "Aperture shape: heptagon"},
};

const aperture_entry* entry_of(int32_t aperture_shape) {
  return aperture_shape >= Circle && aperture_shape <= Heptagon ? &APERTURES[aperture_shape]
                                                                : nullptr;
}

}  // namespace

const char* aperture_resource_name(int32_t aperture_shape) {
  const aperture_entry* entry = entry_of(aperture_shape);
  return entry ? entry->resource_name : nullptr;
}

const char* aperture_shape_line(int32_t aperture_shape) {
  const aperture_entry* entry = entry_of(aperture_shape);
  return entry ? entry->log_line : nullptr;
}

cv::Mat read_aperture_image(HostImage& image) {
  // Two questions, as the application's own effectors ask: the width from the first answer, the
  // height from the second.
  const int32_t width = image.image_size(nullptr).width;
  const int32_t height = image.image_size(nullptr).height;
  cv::Mat aperture(height, width, CV_64FC1);
  float rgba[4];
  for (int32_t y = 0; y < height; ++y) {
    double* row = aperture.ptr<double>(y);
    for (int32_t x = 0; x < width; ++x) {
      image.get_pixel_rgba(x, y, rgba, nullptr);
      row[x] = static_cast<double>(rgba[0]);
    }
  }
  return aperture;
}

}  // namespace zeb
