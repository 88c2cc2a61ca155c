// The filtering stage of the bloom: every channel of the image correlated with the diffraction
// kernel, borders reflected about the edge pixel.
#pragma once

#include <opencv2/core.hpp>

namespace zeb {

// In place on a CV_64F image of 1 to 4 channels (the bloom hands in CV_64FC3) and a one-channel
// kernel: the same result as
//   cv::filter2D(image, image, -1, kernel, cv::Point(-1, -1), 0.0, cv::BORDER_REFLECT_101)
// within rounding (about 1e-15 of the image's largest value). The anchor is the kernel centre,
// column Kc / 2 and row Kr / 2. An index beyond the border is reflected again at the far edge
// as often as needed, so a kernel larger than the image is filtered as filter2D does it. The
// borders are the image's own edges even when it is a view into a larger matrix (as with
// BORDER_ISOLATED). An empty image is left alone; other element types go to cv::filter2D.
//
// Large kernels go through one padded DFT per channel, spread over the library's worker threads;
// small kernels, where the direct sum is faster, go to cv::filter2D itself.
void filter_image(cv::Mat& image, const cv::Mat& kernel);

// Whether filter_image takes the DFT path for this image and kernel size.
bool filter_uses_dft(cv::Size image, cv::Size kernel);

// The DFT path whatever the kernel size, for tests and benchmarks. The image is transformed in
// `bands` vertical bands; 0 takes the count filter_dft_bands gives, and a count whose bands would
// be narrower than the kernel is lowered until they are not.
void filter_image_dft(cv::Mat& image, const cv::Mat& kernel, int bands = 0);

// The band count the DFT path chooses: more bands cost a little more transform work and save
// much of the memory, whose first touch costs time as well.
int filter_dft_bands(cv::Size image, cv::Size kernel, int channels);

}  // namespace zeb
