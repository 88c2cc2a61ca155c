// The aperture pictures: which resource belongs to which aperture shape, and how a delivered
// picture is sampled into the aperture matrix, the input of the diffraction kernel.
#pragma once

#include <cstdint>
#include <opencv2/core.hpp>

#include "plugin/host.hpp"

namespace zeb {

// "IMG_CIRCLE", "IMG_HEXAGON" or "IMG_HEPTAGON" for the shapes 0, 1 and 2; null for any other
// value, which the bloom rejects before it asks for a picture.
const char* aperture_resource_name(int32_t aperture_shape);

// The log line written once the picture is obtained: "Aperture shape: circle", "... hexagon" or
// "... heptagon"; null for a value other than 0, 1 and 2.
const char* aperture_shape_line(int32_t aperture_shape);

// The picture as a CV_64FC1 matrix of height x width: element (y, x) is the red component of
// pixel (x, y), widened. The size is asked twice, the width taken from the first answer and the
// height from the second; the pixels are read row by row, y outer, x inner, one call each.
cv::Mat read_aperture_image(HostImage& image);

}  // namespace zeb
