// The filtering stage as plain cv::filter2D, linked into the comparison build of the bloom pass
// in place of bloom/filtering.cpp.
#include <opencv2/imgproc.hpp>

#include "bloom/filtering.hpp"

namespace zeb {

void filter_image(cv::Mat& image, const cv::Mat& kernel) {
  cv::filter2D(image, image, -1, kernel, cv::Point(-1, -1), 0.0, cv::BORDER_REFLECT_101);
}

}  // namespace zeb
