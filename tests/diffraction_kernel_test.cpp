// The diffraction kernel: its size, the power spectrum of the shipped apertures, resampling,
// normalisation, the quadrant swap and the inputs that give no usable kernel.
#include "bloom/diffraction_kernel.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <map>
#include <string>
#include <vector>

#include "bloom/aperture.hpp"
#include "host/memory_host.hpp"
#include "host/resources.hpp"
#include "plugin/host_ref.hpp"

namespace {

using zeb::KernelStatus;

constexpr double AIRY_FACTOR = 1.22 * 5.55e-7;

double pitch_of(int width, int height) {
  return 0.024 / static_cast<double>(std::min(width, height));
}

// The shipped picture as the bloom samples it, read once per test program.
const cv::Mat& shipped_aperture(const std::string& name) {
  static std::map<std::string, cv::Mat> cache;
  auto found = cache.find(name);
  if (found == cache.end()) {
    zeb::host::RefLedger ledger;
    zeb::host::MemoryResources resources(
        ledger, {zeb::host::resource_dir_for_module(ZEB_MODULE_PATH), "en"});
    zeb::HostRef<zeb::HostImage> image(resources.load_resource_image(name.c_str()), zeb::adopt_ref);
    found = cache.emplace(name, zeb::read_aperture_image(*image)).first;
  }
  return found->second;
}

bool bitwise_equal(const cv::Mat& a, const cv::Mat& b) {
  return a.size() == b.size() && a.type() == b.type() &&
         std::equal(a.begin<double>(), a.end<double>(), b.begin<double>(),
                    [](double x, double y) { return std::memcmp(&x, &y, sizeof x) == 0; });
}

// --- size ---

struct SizeCase {
  int width;
  int height;
  double f_value;
  int32_t side;
};

class KernelSizeTable : public testing::TestWithParam<SizeCase> {};

TEST_P(KernelSizeTable, TruncatedAiryRadiusTimesApertureSide) {
  const SizeCase& c = GetParam();
  const zeb::KernelSize size =
      zeb::diffraction_kernel_size(512, 512, c.f_value * AIRY_FACTOR, pitch_of(c.width, c.height));
  EXPECT_TRUE(size.valid);
  EXPECT_EQ(size.rows, c.side);
  EXPECT_EQ(size.cols, c.side);
  EXPECT_FALSE(size.empty());
  EXPECT_EQ(zeb::kernel_matrix_size(size), cv::Size(c.side, c.side));
}

INSTANTIATE_TEST_SUITE_P(Examples, KernelSizeTable,
                         testing::Values(SizeCase{640, 480, 16.0, 110},
                                         SizeCase{1920, 1080, 16.0, 249},
                                         SizeCase{1080, 1920, 16.0, 249},
                                         SizeCase{1920, 1080, static_cast<double>(2.8f), 43},
                                         SizeCase{320, 240, 1.0, 3}, SizeCase{100, 100, 1.0, 1}));

TEST(KernelSize, RowsFromHeightColumnsFromWidth) {
  const zeb::KernelSize size = zeb::diffraction_kernel_size(100, 300, 1.0, 10.0);
  EXPECT_EQ(size.rows, 10);
  EXPECT_EQ(size.cols, 30);
  EXPECT_EQ(zeb::kernel_matrix_size(size), cv::Size(30, 10));
}

TEST(KernelSize, BelowOnePixelIsEmptyAndCreatedAsOne) {
  // F-number 1 on a 64 x 64 image: 0.92 pixels.
  const zeb::KernelSize size =
      zeb::diffraction_kernel_size(512, 512, AIRY_FACTOR, pitch_of(64, 64));
  EXPECT_TRUE(size.valid);
  EXPECT_EQ(size.rows, 0);
  EXPECT_EQ(size.cols, 0);
  EXPECT_TRUE(size.empty());
  EXPECT_EQ(zeb::kernel_matrix_size(size), cv::Size(1, 1));
  // An image side of 0 makes the pitch infinite: also an empty, valid size.
  EXPECT_TRUE(zeb::diffraction_kernel_size(512, 512, AIRY_FACTOR, pitch_of(0, 10)).empty());
}

TEST(KernelSize, QuotientsThatFitNoInt32AreInvalid) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  for (const auto& [airy_radius, pitch] : std::vector<std::pair<double, double>>{
           {nan, 1e-5}, {inf, 1e-5}, {AIRY_FACTOR, -1e-5}, {1.0, 1e-9}, {AIRY_FACTOR, nan}}) {
    const zeb::KernelSize size = zeb::diffraction_kernel_size(512, 512, airy_radius, pitch);
    EXPECT_FALSE(size.valid) << airy_radius << " / " << pitch;
    EXPECT_EQ(size.rows, 0);
    EXPECT_EQ(size.cols, 0);
  }
  // The largest side that fits still counts.
  EXPECT_TRUE(zeb::diffraction_kernel_size(1, 1, 2147483647.0, 1.0).valid);
}

// --- the shipped apertures ---

class ShippedKernel : public testing::TestWithParam<const char*> {
 protected:
  const cv::Mat& aperture() const { return shipped_aperture(GetParam()); }
  // rA = p makes the kernel 512 x 512, the range-scaled power spectrum itself.
  cv::Mat spectrum() const {
    zeb::DiffractionKernel kernel = zeb::build_diffraction_kernel(aperture(), 1.0, 1.0);
    EXPECT_EQ(kernel.status, KernelStatus::ok);
    return kernel.values;
  }
};

TEST_P(ShippedKernel, SpectrumPeaksAtTheCentreAndSpansZeroToOne) {
  const cv::Mat s = spectrum();
  ASSERT_EQ(s.size(), cv::Size(512, 512));
  ASSERT_EQ(s.type(), CV_64FC1);
  double smallest = 0.0, largest = 0.0;
  cv::Point at_largest;
  cv::minMaxLoc(s, &smallest, &largest, nullptr, &at_largest);
  EXPECT_NEAR(largest, 1.0, 1e-12);
  EXPECT_NEAR(smallest, 0.0, 1e-12);
  EXPECT_EQ(at_largest, cv::Point(256, 256));
  EXPECT_NEAR(s.at<double>(256, 256), 1.0, 1e-12);
}

TEST_P(ShippedKernel, SpectrumIsPointSymmetricAboutTheCentre) {
  // The picture is real, so the power at frequency -f equals that at f.
  const cv::Mat s = spectrum();
  double worst = 0.0;
  for (int y = 1; y < 512; ++y) {
    for (int x = 1; x < 512; ++x) {
      worst = std::max(worst, std::abs(s.at<double>(y, x) - s.at<double>(512 - y, 512 - x)));
    }
  }
  EXPECT_LT(worst, 1e-12);
}

TEST_P(ShippedKernel, ResampledKernelNormalisesToUnitSum) {
  zeb::DiffractionKernel kernel =
      zeb::build_diffraction_kernel(aperture(), 16.0 * AIRY_FACTOR, pitch_of(640, 480));
  ASSERT_EQ(kernel.status, KernelStatus::ok);
  ASSERT_EQ(kernel.values.size(), cv::Size(110, 110));
  ASSERT_EQ(kernel.values.type(), CV_64FC1);
  double smallest = 0.0, largest = 0.0;
  cv::minMaxLoc(kernel.values, &smallest, &largest);
  EXPECT_GE(smallest, 0.0);
  EXPECT_LE(largest, 1.0);
  EXPECT_TRUE(zeb::normalize_kernel_sum(kernel.values));
  cv::minMaxLoc(kernel.values, &smallest, &largest);
  EXPECT_GE(smallest, 0.0);
  EXPECT_NEAR(cv::sum(kernel.values)[0], 1.0, 1e-12);
}

TEST_P(ShippedKernel, ApertureStaysUnchangedAndASecondBuildIsTheSame) {
  const cv::Mat before = aperture().clone();
  const zeb::DiffractionKernel first =
      zeb::build_diffraction_kernel(aperture(), 16.0 * AIRY_FACTOR, pitch_of(1920, 1080));
  EXPECT_TRUE(bitwise_equal(aperture(), before));
  const zeb::DiffractionKernel second =
      zeb::build_diffraction_kernel(aperture(), 16.0 * AIRY_FACTOR, pitch_of(1920, 1080));
  EXPECT_TRUE(bitwise_equal(first.values, second.values));
  EXPECT_EQ(first.values.size(), cv::Size(249, 249));
}

TEST_P(ShippedKernel, OnePixelKernelHoldsOne) {
  zeb::DiffractionKernel kernel =
      zeb::build_diffraction_kernel(aperture(), AIRY_FACTOR, pitch_of(100, 100));
  ASSERT_EQ(kernel.status, KernelStatus::ok);
  ASSERT_EQ(kernel.values.size(), cv::Size(1, 1));
  EXPECT_TRUE(zeb::normalize_kernel_sum(kernel.values));
  EXPECT_NEAR(kernel.values.at<double>(0, 0), 1.0, 1e-15);
}

INSTANTIATE_TEST_SUITE_P(Apertures, ShippedKernel,
                         testing::Values("IMG_CIRCLE", "IMG_HEXAGON", "IMG_HEPTAGON"),
                         [](const auto& info) { return std::string(info.param).substr(4); });

TEST(CircleKernel, RotationallySymmetric) {
  const cv::Mat s = zeb::build_diffraction_kernel(shipped_aperture("IMG_CIRCLE"), 1.0, 1.0).values;
  ASSERT_EQ(s.size(), cv::Size(512, 512));
  const auto at = [&](int dx, int dy) { return s.at<double>(256 + dy, 256 + dx); };
  // The four axis directions and the transposition.
  double worst = 0.0;
  for (int dy = -200; dy <= 200; ++dy) {
    for (int dx = -200; dx <= 200; ++dx) {
      worst =
          std::max({worst, std::abs(at(dx, dy) - at(dy, dx)), std::abs(at(dx, dy) - at(-dy, dx))});
    }
  }
  EXPECT_LT(worst, 1e-6);
  // Lattice points of the same radius, on and off the axes: (5, 0), (3, 4), (4, 3) and (10, 0),
  // (6, 8), (8, 6). The circle's power agrees there to a part in a thousand; the hexagon's differs
  // by a third or more.
  const cv::Mat h = zeb::build_diffraction_kernel(shipped_aperture("IMG_HEXAGON"), 1.0, 1.0).values;
  const auto spread = [](const cv::Mat& m, int r, int a, int b) {
    const double on_axis = m.at<double>(256, 256 + r);
    const double off_axis[] = {m.at<double>(256 + b, 256 + a), m.at<double>(256 + a, 256 + b)};
    double worst = 0.0;
    for (const double v : off_axis) worst = std::max(worst, std::abs(v - on_axis) / on_axis);
    return worst;
  };
  EXPECT_LT(spread(s, 5, 3, 4), 1e-3);
  EXPECT_LT(spread(s, 10, 6, 8), 1e-3);
  EXPECT_GT(spread(h, 5, 3, 4), 0.3);
  EXPECT_GT(spread(h, 10, 6, 8), 0.3);
}

TEST(ApertureOfOddSize, ZeroExtendedAndCentred) {
  // 7 x 11 transforms at 8 x 12; the zero frequency lands at row 7 / 2, column 11 / 2.
  cv::Mat aperture = cv::Mat::zeros(7, 11, CV_64FC1);
  aperture(cv::Rect(4, 2, 3, 3)).setTo(1.0);
  const zeb::DiffractionKernel kernel = zeb::build_diffraction_kernel(aperture, 1.0, 1.0);
  ASSERT_EQ(kernel.status, KernelStatus::ok);
  ASSERT_EQ(kernel.values.size(), cv::Size(11, 7));
  double smallest = 0.0, largest = 0.0;
  cv::Point at_largest;
  cv::minMaxLoc(kernel.values, &smallest, &largest, nullptr, &at_largest);
  EXPECT_EQ(at_largest, cv::Point(5, 3));
  EXPECT_NEAR(largest, 1.0, 1e-12);
  EXPECT_NEAR(smallest, 0.0, 1e-12);
}

// --- degenerate inputs ---

TEST(DegenerateKernel, FlatSpectrumGivesNoNaN) {
  cv::Mat dark = cv::Mat::zeros(16, 16, CV_64FC1);
  cv::Mat lit_origin = cv::Mat::zeros(64, 64, CV_64FC1);
  lit_origin.at<double>(0, 0) = 1.0;
  // Away from the origin the power is 1 only up to rounding: still no scale to build on.
  cv::Mat lit_pixel = cv::Mat::zeros(500, 512, CV_64FC1);
  lit_pixel.at<double>(5, 9) = 1.0;
  for (const cv::Mat& aperture : {dark, lit_origin, lit_pixel}) {
    cv::Mat kernel(3, 3, CV_64FC1, cv::Scalar(0.5));
    EXPECT_EQ(zeb::build_diffraction_kernel_into(aperture, kernel), KernelStatus::flat_spectrum);
    ASSERT_EQ(kernel.size(), cv::Size(3, 3));
    EXPECT_EQ(cv::countNonZero(kernel), 0);
    EXPECT_FALSE(zeb::normalize_kernel_sum(kernel));
    EXPECT_EQ(cv::countNonZero(kernel), 0);
    EXPECT_TRUE(cv::checkRange(kernel));
  }
}

TEST(DegenerateKernel, EmptyTargetIsResampledToOnePixel) {
  // A caller that passes the size as it truncated, 0 x 0, still gets no library error.
  cv::Mat kernel;
  EXPECT_EQ(zeb::build_diffraction_kernel_into(shipped_aperture("IMG_CIRCLE"), kernel),
            KernelStatus::ok);
  ASSERT_EQ(kernel.size(), cv::Size(1, 1));
  EXPECT_TRUE(zeb::normalize_kernel_sum(kernel));
  EXPECT_NEAR(kernel.at<double>(0, 0), 1.0, 1e-15);
  // And through the whole construction: F-number 1 on a 64 x 64 image.
  const zeb::DiffractionKernel built =
      zeb::build_diffraction_kernel(shipped_aperture("IMG_CIRCLE"), AIRY_FACTOR, pitch_of(64, 64));
  EXPECT_EQ(built.status, KernelStatus::ok);
  EXPECT_EQ(built.values.size(), cv::Size(1, 1));
}

TEST(DegenerateKernel, EmptyApertureAndInvalidSize) {
  cv::Mat kernel(2, 2, CV_64FC1);
  EXPECT_EQ(zeb::build_diffraction_kernel_into(cv::Mat(), kernel), KernelStatus::empty_aperture);
  EXPECT_TRUE(kernel.empty());
  EXPECT_EQ(zeb::build_diffraction_kernel(cv::Mat(), AIRY_FACTOR, 1e-5).status,
            KernelStatus::empty_aperture);
  const zeb::DiffractionKernel invalid = zeb::build_diffraction_kernel(
      shipped_aperture("IMG_CIRCLE"), std::numeric_limits<double>::infinity(), 1e-5);
  EXPECT_EQ(invalid.status, KernelStatus::invalid_size);
  EXPECT_TRUE(invalid.values.empty());
  cv::Mat none;
  EXPECT_FALSE(zeb::normalize_kernel_sum(none));
}

TEST(NormalizeKernelSum, ScalesToUnitSumKeepingProportions) {
  cv::Mat kernel = (cv::Mat_<double>(2, 2) << 1.0, 3.0, 0.0, 4.0);
  EXPECT_TRUE(zeb::normalize_kernel_sum(kernel));
  EXPECT_DOUBLE_EQ(kernel.at<double>(0, 0), 0.125);
  EXPECT_DOUBLE_EQ(kernel.at<double>(0, 1), 0.375);
  EXPECT_DOUBLE_EQ(kernel.at<double>(1, 0), 0.0);
  EXPECT_DOUBLE_EQ(kernel.at<double>(1, 1), 0.5);
}

// --- quadrant swap ---

cv::Mat counting(int rows, int cols) {
  cv::Mat m(rows, cols, CV_64FC1);
  for (int k = 0; k < rows * cols; ++k) m.at<double>(k / cols, k % cols) = k;
  return m;
}

std::vector<double> elements(const cv::Mat& m) {
  return std::vector<double>(m.begin<double>(), m.end<double>());
}

TEST(SwapQuadrants, EvenSidesExchangeDiagonalQuadrants) {
  cv::Mat m = counting(4, 4);
  zeb::swap_quadrants(m);
  EXPECT_EQ(elements(m),
            (std::vector<double>{10, 11, 8, 9, 14, 15, 12, 13, 2, 3, 0, 1, 6, 7, 4, 5}));
}

TEST(SwapQuadrants, OddSidesLeaveTheLastRowAndColumn) {
  cv::Mat m = counting(3, 3);
  zeb::swap_quadrants(m);
  EXPECT_EQ(elements(m), (std::vector<double>{4, 3, 2, 1, 0, 5, 6, 7, 8}));
  cv::Mat wide = counting(2, 5);  // cx = 2, cy = 1: the last column stays
  zeb::swap_quadrants(wide);
  EXPECT_EQ(elements(wide), (std::vector<double>{7, 8, 5, 6, 4, 2, 3, 0, 1, 9}));
}

TEST(SwapQuadrants, SingleRowOrColumnStaysAsItIs) {
  for (const cv::Size size : {cv::Size(5, 1), cv::Size(1, 4), cv::Size(1, 1)}) {
    cv::Mat m = counting(size.height, size.width);
    const cv::Mat before = m.clone();
    zeb::swap_quadrants(m);
    EXPECT_EQ(elements(m), elements(before)) << size;
  }
}

TEST(SwapQuadrants, WorksOnARegionView) {
  // The spectrum is swapped inside a plane that may be a view; only the view moves.
  cv::Mat outer = counting(6, 6);
  cv::Mat view = outer(cv::Rect(1, 1, 4, 4));
  const cv::Mat expected_view = view.clone();
  zeb::swap_quadrants(view);
  EXPECT_EQ(view.at<double>(0, 0), expected_view.at<double>(2, 2));
  EXPECT_EQ(view.at<double>(2, 2), expected_view.at<double>(0, 0));
  EXPECT_EQ(outer.at<double>(0, 0), 0.0);
  EXPECT_EQ(outer.at<double>(5, 5), 35.0);
}

}  // namespace
