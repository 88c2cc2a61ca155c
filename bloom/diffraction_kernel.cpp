#include "bloom/diffraction_kernel.hpp"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <opencv2/imgproc.hpp>

namespace zeb {

namespace {

// Below this part of the largest value, the spread of a power spectrum is rounding noise.
constexpr double FLAT_RELATIVE_RANGE = 1e-9;

// Truncation toward zero; only defined for quotients that fit.
bool truncate_side(double quotient, int32_t& side) {
  if (!(quotient >= 0.0 && quotient < 2147483648.0)) return false;
  side = static_cast<int32_t>(quotient);
  return true;
}

}  // namespace

KernelSize diffraction_kernel_size(int32_t aperture_rows, int32_t aperture_cols, double airy_radius,
                                   double pixel_pitch) {
  const double rows = (static_cast<double>(aperture_rows) * airy_radius) / pixel_pitch;
  const double cols = (static_cast<double>(aperture_cols) * airy_radius) / pixel_pitch;
  KernelSize size;
  int32_t kr = 0;
  int32_t kc = 0;
  if (truncate_side(rows, kr) && truncate_side(cols, kc)) {
    size.rows = kr;
    size.cols = kc;
    size.valid = true;
  }
  return size;
}

cv::Size kernel_matrix_size(const KernelSize& size) {
  return cv::Size(std::max(size.cols, 1), std::max(size.rows, 1));
}

KernelStatus build_diffraction_kernel_into(const cv::Mat& aperture, cv::Mat& kernel) {
  if (aperture.empty()) {
    kernel.release();
    return KernelStatus::empty_aperture;
  }
  CV_Assert(aperture.type() == CV_64FC1);
  const cv::Size target(std::max(kernel.cols, 1), std::max(kernel.rows, 1));
  const int rows = aperture.rows;
  const int cols = aperture.cols;

  // The real plane is a copy: split below writes the spectrum into these same buffers, and the
  // caller's aperture must come out untouched.
  cv::Mat planes[] = {aperture.clone(), cv::Mat::zeros(rows, cols, CV_64FC1)};
  cv::Mat complex_aperture;
  cv::merge(planes, 2, complex_aperture);

  const int transform_rows = cv::getOptimalDFTSize(rows);
  const int transform_cols = cv::getOptimalDFTSize(cols);
  cv::Mat transform(transform_rows, transform_cols, CV_64FC2);
  transform.setTo(cv::Scalar::all(0.0));
  const cv::Rect window(0, 0, cols, rows);
  complex_aperture.copyTo(transform(window));
  cv::dft(transform, transform, cv::DFT_COMPLEX_OUTPUT, 0);

  cv::split(transform(window), planes);
  cv::pow(planes[0], 2.0, planes[0]);
  cv::pow(planes[1], 2.0, planes[1]);
  cv::add(planes[0], planes[1], planes[0], cv::noArray(), -1);
  cv::Mat& spectrum = planes[0];
  swap_quadrants(spectrum);

  double smallest = 0.0;
  double largest = 0.0;
  cv::minMaxLoc(spectrum, &smallest, &largest);
  const double range = largest - smallest;
  // The scaling multiplies by 1 / range; without a finite one it would fill the kernel with NaN.
  // A range of mere rounding noise (a single lit pixel away from the origin transforms to 1 give
  // or take a few ulp) would be blown up into a kernel of noise; real apertures span their whole
  // largest value.
  if (!(range > largest * FLAT_RELATIVE_RANGE) || !std::isfinite(range) ||
      !std::isfinite(1.0 / range)) {
    kernel = cv::Mat::zeros(target, CV_64FC1);
    return KernelStatus::flat_spectrum;
  }
  spectrum = (spectrum - smallest) / range;

  cv::resize(spectrum, kernel, target, 0.0, 0.0, cv::INTER_LINEAR);
  return KernelStatus::ok;
}

DiffractionKernel build_diffraction_kernel(const cv::Mat& aperture, double airy_radius,
                                           double pixel_pitch) {
  DiffractionKernel kernel;
  const KernelSize size =
      diffraction_kernel_size(aperture.rows, aperture.cols, airy_radius, pixel_pitch);
  if (!size.valid) {
    kernel.status = KernelStatus::invalid_size;
    return kernel;
  }
  kernel.values.create(kernel_matrix_size(size), CV_64FC1);
  kernel.status = build_diffraction_kernel_into(aperture, kernel.values);
  return kernel;
}

bool normalize_kernel_sum(cv::Mat& kernel) {
  if (kernel.empty()) return false;
  const bool has_weight = cv::norm(kernel, cv::NORM_L1) > DBL_EPSILON;
  cv::normalize(kernel, kernel, 1.0, 0.0, cv::NORM_L1, -1, cv::noArray());
  return has_weight;
}

void swap_quadrants(cv::Mat& matrix) {
  const int cx = matrix.cols / 2;
  const int cy = matrix.rows / 2;
  if (cx == 0 || cy == 0) return;  // a single row or column: every view would be empty
  cv::Mat top_left(matrix, cv::Rect(0, 0, cx, cy));
  cv::Mat top_right(matrix, cv::Rect(cx, 0, cx, cy));
  cv::Mat bottom_left(matrix, cv::Rect(0, cy, cx, cy));
  cv::Mat bottom_right(matrix, cv::Rect(cx, cy, cx, cy));
  cv::Mat temporary(cy, cx, matrix.type());
  top_right.copyTo(temporary);
  bottom_left.copyTo(top_right);
  temporary.copyTo(bottom_left);
  top_left.copyTo(temporary);
  bottom_right.copyTo(top_left);
  temporary.copyTo(bottom_right);
}

}  // namespace zeb
