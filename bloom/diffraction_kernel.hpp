// The diffraction kernel: the far-field pattern of the lens aperture, taken as the power spectrum
// of the aperture matrix, centred, scaled to 0..1 and resampled so that one frequency step spans
// the Airy radius in pixels of the rendered image. Plain functions over cv::Mat, no host objects.
//
// One bloom pass uses them in this order:
//
//   const KernelSize size = diffraction_kernel_size(aperture.rows, aperture.cols, rA, p);
//   if (!size.valid) ...                        // nothing sensible to build
//   cv::Mat kernel(kernel_matrix_size(size), CV_64FC1);
//   (start the Fourier transform clock)
//   if (build_diffraction_kernel_into(aperture, kernel) != KernelStatus::ok) ...
//   (stop the clock; read the image)
//   normalize_kernel_sum(kernel);
//   (filter)
#pragma once

#include <cstdint>
#include <opencv2/core.hpp>

namespace zeb {

// Kr x Kc: (aperture side * rA) / p in 64-bit floating point, in exactly this order, truncated
// toward zero.
struct KernelSize {
  int32_t rows = 0;  // Kr
  int32_t cols = 0;  // Kc
  // False when a quotient is not a number, negative or beyond int32 (an F-value that is infinite
  // or not a number, a negative pitch); rows and cols are 0 then.
  bool valid = false;
  // A side truncated to 0: the Airy radius is below one pixel of the rendered image.
  bool empty() const { return rows < 1 || cols < 1; }
};

KernelSize diffraction_kernel_size(int32_t aperture_rows, int32_t aperture_cols, double airy_radius,
                                   double pixel_pitch);

// The size to create the kernel matrix with (width Kc, height Kr), each side at least 1: a kernel
// below one pixel spreads no light, and a 1 x 1 kernel, which normalises to the single value 1,
// leaves the image as it is. Resampling to a side of 0 is refused by the library.
cv::Size kernel_matrix_size(const KernelSize& size);

enum class KernelStatus {
  ok,
  empty_aperture,  // the aperture matrix has no elements
  flat_spectrum,   // largest == smallest element of the power spectrum (an all-zero aperture, or
                   // a single lit pixel), up to rounding noise (a spread below 1e-9 of the
                   // largest value), or a range that is not finite: there is no 0..1 scale
  invalid_size,    // the kernel size is not valid (KernelSize::valid is false)
};

// The centred, range-scaled, resampled power spectrum of the aperture, values in [0, 1].
struct DiffractionKernel {
  cv::Mat values;  // Kr x Kc (sides of 0 as 1), CV_64FC1; see status before using it
  KernelStatus status = KernelStatus::ok;
};

// Builds the kernel into kernel, whose size (as created by the caller) is the target of the
// resampling; a side below 1 is taken as 1. aperture is CV_64FC1 with values >= 0 and is only
// read. On a status other than ok the kernel holds zeros (or nothing, for an empty aperture) and
// must not be used.
KernelStatus build_diffraction_kernel_into(const cv::Mat& aperture, cv::Mat& kernel);

// The whole construction: the size for rA and p, the kernel matrix, then the kernel.
DiffractionKernel build_diffraction_kernel(const cv::Mat& aperture, double airy_radius,
                                           double pixel_pitch);

// Rescales the kernel in place so that its values (all >= 0) add up to 1. False when it had no
// weight to rescale (empty, or sum of absolute values at most DBL_EPSILON); the library then leaves
// it all zero.
bool normalize_kernel_sum(cv::Mat& kernel);

// Exchanges the quadrants of a one-channel matrix in place, diagonally: for even sides the element
// at (0, 0) moves to (rows / 2, cols / 2). For an odd side the last row or column stays put.
void swap_quadrants(cv::Mat& matrix);

}  // namespace zeb
