#include "bloom/aperture.hpp"

#include "camera/camera_optics.hpp"

namespace zeb {

const char* aperture_resource_name(int32_t aperture_shape) {
  switch (aperture_shape) {
    case Circle:
      return "IMG_CIRCLE";
    case Hexagon:
      return "IMG_HEXAGON";
    case Heptagon:
      return "IMG_HEPTAGON";
    default:
      return nullptr;
  }
}

const char* aperture_shape_line(int32_t aperture_shape) {
  switch (aperture_shape) {
    case Circle:
      return "Aperture shape: circle";
    case Hexagon:
      return "Aperture shape: hexagon";
    case Heptagon:
      return "Aperture shape: heptagon";
    default:
      return nullptr;
  }
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
