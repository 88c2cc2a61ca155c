#include "bloom/filtering.hpp"

#include <gtest/gtest.h>

#include <opencv2/imgproc.hpp>
#include <ostream>

namespace {

// The reference: the library's own filter, out of place.
cv::Mat reference(const cv::Mat& image, const cv::Mat& kernel) {
  cv::Mat out;
  cv::filter2D(image, out, -1, kernel, cv::Point(-1, -1), 0.0, cv::BORDER_REFLECT_101);
  return out;
}

cv::Mat random_matrix(int rows, int cols, int type, uint64_t seed, double low, double high) {
  cv::Mat out(rows, cols, type);
  cv::RNG rng(seed);
  rng.fill(out, cv::RNG::UNIFORM, low, high);
  return out;
}

// Largest difference, relative to the largest magnitude of the input.
double relative_difference(const cv::Mat& actual, const cv::Mat& expected, const cv::Mat& input) {
  return cv::norm(actual, expected, cv::NORM_INF) / cv::norm(input, cv::NORM_INF);
}

constexpr double TOLERANCE = 1e-12;

struct FilterCase {
  int cols, rows;                // image
  int kernel_cols, kernel_rows;  // kernel
  int channels;
  int bands;  // for the transform path; 0: as it chooses
};

std::ostream& operator<<(std::ostream& out, const FilterCase& c) {
  return out << c.cols << "x" << c.rows << "x" << c.channels << " kernel " << c.kernel_cols << "x"
             << c.kernel_rows << " bands " << c.bands;
}

class FilterEquivalence : public testing::TestWithParam<FilterCase> {
 protected:
  void SetUp() override {
    const FilterCase& c = GetParam();
    const uint64_t seed = static_cast<uint64_t>(c.cols * 7919 + c.rows * 104729 + c.kernel_cols);
    // Values around an offset, so that a wrong border or a wrap-around shows clearly.
    image = random_matrix(c.rows, c.cols, CV_64FC(c.channels), seed, -1.0, 4.0);
    kernel = random_matrix(c.kernel_rows, c.kernel_cols, CV_64FC1, seed + 1, 0.0, 1.0);
    kernel /= cv::sum(kernel)[0];
    expected = reference(image, kernel);
  }
  cv::Mat image, kernel, expected;
};

TEST_P(FilterEquivalence, TransformPathMatchesFilter2D) {
  cv::Mat filtered = image.clone();
  const uchar* data = filtered.data;
  zeb::filter_image_dft(filtered, kernel, GetParam().bands);
  EXPECT_EQ(filtered.data, data) << "filtered in place";
  EXPECT_EQ(filtered.size(), image.size());
  EXPECT_EQ(filtered.type(), image.type());
  EXPECT_LE(relative_difference(filtered, expected, image), TOLERANCE);
}

TEST_P(FilterEquivalence, FilterImageMatchesFilter2D) {
  cv::Mat filtered = image.clone();
  zeb::filter_image(filtered, kernel);
  EXPECT_LE(relative_difference(filtered, expected, image), TOLERANCE);
}

// Odd and even sides; kernels of 1 x 1, small, near the image side, larger than the image
// (reflected more than once), non-square; one to four channels; several vertical bands.
INSTANTIATE_TEST_SUITE_P(
    Sizes, FilterEquivalence,
    testing::Values(FilterCase{1, 1, 1, 1, 3, 0}, FilterCase{37, 23, 1, 1, 3, 0},
                    FilterCase{37, 23, 3, 3, 3, 0}, FilterCase{40, 30, 8, 8, 3, 0},
                    FilterCase{200, 150, 31, 31, 3, 0}, FilterCase{201, 151, 30, 17, 3, 0},
                    FilterCase{64, 48, 9, 40, 3, 0}, FilterCase{63, 47, 62, 46, 3, 0},
                    FilterCase{60, 50, 61, 51, 3, 0}, FilterCase{50, 40, 120, 90, 3, 0},
                    FilterCase{7, 5, 40, 41, 3, 0}, FilterCase{1, 9, 8, 8, 3, 0},
                    FilterCase{9, 1, 1, 8, 3, 0}, FilterCase{1, 1, 9, 9, 3, 0},
                    FilterCase{2, 3, 12, 1, 3, 0}, FilterCase{101, 60, 15, 15, 1, 0},
                    FilterCase{101, 60, 15, 15, 4, 0}, FilterCase{200, 100, 9, 8, 3, 2},
                    FilterCase{199, 100, 9, 9, 3, 3}, FilterCase{200, 100, 40, 40, 3, 5},
                    FilterCase{200, 100, 9, 50, 3, 7}, FilterCase{151, 40, 50, 10, 3, 3}));

TEST(FilterImage, EmptyImageIsLeftAlone) {
  cv::Mat empty;
  const cv::Mat kernel = cv::Mat::ones(9, 9, CV_64F) / 81.0;
  EXPECT_NO_THROW(zeb::filter_image(empty, kernel));
  EXPECT_NO_THROW(zeb::filter_image_dft(empty, kernel));
  EXPECT_TRUE(empty.empty());
}

TEST(FilterImage, UnitKernelKeepsEveryValue) {
  const cv::Mat image = random_matrix(30, 40, CV_64FC3, 5, 0.0, 4.0);
  cv::Mat filtered = image.clone();
  zeb::filter_image(filtered, cv::Mat::ones(1, 1, CV_64F));
  EXPECT_EQ(cv::norm(filtered, image, cv::NORM_INF), 0.0);
}

TEST(FilterImage, SinglePrecisionKernelIsWidened) {
  const cv::Mat image = random_matrix(60, 50, CV_64FC3, 11, 0.0, 1.0);
  cv::Mat kernel = random_matrix(21, 21, CV_32FC1, 12, 0.0, 1.0);
  kernel /= cv::sum(kernel)[0];
  cv::Mat kernel64;
  kernel.convertTo(kernel64, CV_64F);
  cv::Mat filtered = image.clone();
  zeb::filter_image(filtered, kernel);
  EXPECT_LE(relative_difference(filtered, reference(image, kernel64), image), TOLERANCE);
}

// A view into a larger matrix is filtered with its own edges as borders, on both paths.
TEST(FilterImage, ViewUsesItsOwnEdges) {
  const cv::Mat whole = random_matrix(80, 90, CV_64FC3, 21, 0.0, 1.0);
  const cv::Rect window(10, 12, 60, 50);
  for (const int side : {3, 25}) {
    const cv::Mat kernel = cv::Mat::ones(side, side, CV_64F) / double(side * side);
    cv::Mat expected;
    cv::filter2D(whole(window).clone(), expected, -1, kernel, cv::Point(-1, -1), 0.0,
                 cv::BORDER_REFLECT_101);
    cv::Mat copy = whole.clone();
    cv::Mat view = copy(window);
    zeb::filter_image(view, kernel);
    EXPECT_LE(relative_difference(view, expected, whole), TOLERANCE) << "kernel " << side;
    // Nothing outside the view is touched.
    cv::Mat outside = copy.clone();
    whole(window).copyTo(outside(window));
    EXPECT_EQ(cv::norm(outside, whole, cv::NORM_INF), 0.0) << "kernel " << side;
  }
}

// A single bright pixel far from the borders becomes the kernel turned by half a turn, centred
// on it, and the light is conserved: a correlation, not a convolution.
TEST(FilterImage, PointSpreadsAsTheTurnedKernel) {
  cv::Mat image = cv::Mat::zeros(120, 140, CV_64FC3);
  image.at<cv::Vec3d>(60, 70) = cv::Vec3d(1.0, 2.0, 4.0);
  cv::Mat kernel = random_matrix(21, 16, CV_64FC1, 31, 0.0, 1.0);
  kernel /= cv::sum(kernel)[0];
  zeb::filter_image(image, kernel);
  cv::Mat turned;
  cv::flip(kernel, turned, -1);
  // The anchor (8, 10) of the kernel lands on the pixel; turned, it sits at (16-1-8, 21-1-10).
  const cv::Rect spread(70 - 7, 60 - 10, 16, 21);
  std::vector<cv::Mat> planes;
  cv::split(image, planes);
  for (int channel = 0; channel < 3; ++channel) {
    const double weight = double(1 << channel);
    EXPECT_LE(cv::norm(planes[channel](spread), turned * weight, cv::NORM_INF), 1e-15 * weight);
    EXPECT_NEAR(cv::sum(planes[channel])[0], weight, 1e-13);
  }
}

}  // namespace
