#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <optional>
#include <regex>
#include <stdexcept>
#include <string>
#include <vector>

#include "bloom/aperture.hpp"
#include "bloom/diffraction_kernel.hpp"
#include "camera/camera_optics.hpp"
#include "host/memory_host.hpp"
#include "host/resources.hpp"
#include "module_test_support.hpp"
#include "plugin/host_ref.hpp"
#include "plugin/identifiers.hpp"
#include "sxsdk/plugin_interface.hpp"

namespace {

using zeb::host::Journal;
using zeb::host::MemoryHost;
using zeb::host::MemoryImage;
using zeb::host::RefLedger;
using Lines = std::vector<std::string>;

constexpr float NOT_A_NUMBER = std::numeric_limits<float>::quiet_NaN();
constexpr float INFINITE = std::numeric_limits<float>::infinity();
const char* const CAMERA_NAME = "Camera 1";

using zeb::testing::loaded_module;

// A picture the test paints instead of the shipped resource.
struct CustomAperture {
  const char* name;
  int32_t width;
  int32_t height;
  std::function<float(int32_t x, int32_t y)> grey;
};

// The reference host with the module's resources; a test may hand out a picture it paints in
// place of the shipped aperture resource.
class BloomHost : public MemoryHost {
 public:
  explicit BloomHost(bool with_resources = true)
      : MemoryHost(with_resources ? zeb::host::ResourceSettings{zeb::host::resource_dir_for_module(
                                        ZEB_MODULE_PATH)}
                                  : zeb::host::ResourceSettings{}),
        resources_with_paintings_(*this) {}

  zeb::ModuleResources* get_resources(void* aux) override {
    MemoryHost::get_resources(aux);
    return &resources_with_paintings_;
  }

  std::optional<CustomAperture> custom_aperture;

 private:
  class PaintedResources : public zeb::ModuleResources {
   public:
    explicit PaintedResources(BloomHost& host) : host_(host) {}
    const char* get_localized_string(const char* id) override {
      return host_.resources().get_localized_string(id);
    }
    zeb::HostImage* load_resource_image(const char* name) override {
      if (!host_.custom_aperture) return host_.resources().load_resource_image(name);
      // Recorded as the host records the pictures it loads.
      host_.calls.push_back(std::string("load_resource_image ") + name);
      const CustomAperture& custom = *host_.custom_aperture;
      auto* image = new MemoryImage(host_.ledger(), custom.width, custom.height, true);
      image->label = std::string("aperture ") + name;
      image->journal = &host_.calls;
      for (int32_t y = 0; y < custom.height; ++y)
        for (int32_t x = 0; x < custom.width; ++x)
          std::fill_n(image->pixel(x, y), 3, custom.grey(x, y));
      image->AddRef();
      return image;
    }

   private:
    BloomHost& host_;
  };
  PaintedResources resources_with_paintings_;
};

// A rendered image that may report another size than it stores and may refuse a pixel read
// part-way, as a host running out of memory would.
class ProbeImage : public MemoryImage {
 public:
  ProbeImage(RefLedger& ledger, int32_t width, int32_t height, Journal* calls)
      : MemoryImage(ledger, width, height) {
    journal = calls;
    label = "image";
  }
  zeb::ImageSize image_size(void* aux) override {
    const zeb::ImageSize stored = MemoryImage::image_size(aux);
    return reported_size ? *reported_size : stored;
  }
  void get_pixel_rgba(int32_t x, int32_t y, float* rgba, void* aux) override {
    if (throw_at_read && pixel_reads == *throw_at_read)
      throw std::runtime_error("probe image: read refused");
    MemoryImage::get_pixel_rgba(x, y, rgba, aux);
  }

  std::optional<zeb::ImageSize> reported_size;
  std::optional<int64_t> throw_at_read;
};

void fill(MemoryImage& image, const std::function<std::array<float, 4>(int32_t, int32_t)>& rgba) {
  for (int32_t y = 0; y < image.height(); ++y)
    for (int32_t x = 0; x < image.width(); ++x) {
      const std::array<float, 4> value = rgba(x, y);
      std::copy(value.begin(), value.end(), image.pixel(x, y));
    }
}

// Distinct values per pixel and channel, negative and above 1 included, alpha varying.
std::array<float, 4> varied(int32_t x, int32_t y) {
  return {0.1f * static_cast<float>(x) - 0.3f, 1.7f + 0.25f * static_cast<float>(y),
          static_cast<float>((x * 7 + y * 3) % 5), 0.125f * static_cast<float>((x + y) % 9)};
}

bool same_bits(const std::vector<float>& a, const std::vector<float>& b) {
  if (a.size() != b.size()) return false;
  return a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(float)) == 0;
}

Lines releases(const Journal& calls) {
  Lines found;
  for (const std::string& call : calls)
    if (call.rfind("release ", 0) == 0) found.push_back(call);
  return found;
}

const std::regex FOURIER_LINE(R"(Fourier transform took: [ 0-9]{2}[0-9]+\.[0-9]{2} \[sec\])");
const std::regex FILTERING_LINE(R"(Filtering took: [ 0-9]{2}[0-9]+\.[0-9]{2} \[sec\])");

class BloomTest : public ::testing::Test {
 protected:
  explicit BloomTest(bool with_resources = true) : host_(with_resources) {
    camera_ = &host_.scene().add_camera(CAMERA_NAME);
  }

  void set_record(int32_t shape, float f_value) {
    std::vector<uint8_t>& bytes = camera_->streams[zeb::CAMERA_STREAM_ID];
    bytes.resize(8);
    std::memcpy(bytes.data(), &shape, 4);  // little-endian, as the reference host stores it
    std::memcpy(bytes.data() + 4, &f_value, 4);
  }

  // One bloom pass of the loaded module on image; the effector is released also when the pass
  // throws.
  void apply(MemoryImage& image) {
    sxsdk::plugin_interface* object = nullptr;
    ASSERT_EQ(loaded_module().create_interface(&zeb::EFFECTOR_KIND_ID, 1, &object, &host_, nullptr),
              1);
    ASSERT_NE(object, nullptr);
    struct Releaser {
      sxsdk::plugin_interface* object;
      ~Releaser() { object->Release(); }
    } releaser{object};
    auto* effector = static_cast<sxsdk::effector_interface*>(object);
    effector->set_effect_context(&host_.make_effect_context(image), nullptr);
    effector->apply_effect(nullptr);
  }

  // The kernel the pass should build for this image size, F-value and shape, unit sum.
  cv::Mat expected_kernel(int32_t width, int32_t height, double f_value, int32_t shape) {
    const zeb::HostRef<zeb::HostImage> picture(
        host_.resources().load_resource_image(zeb::aperture_resource_name(shape)), zeb::adopt_ref);
    const cv::Mat aperture = zeb::read_aperture_image(*picture);
    const double pitch = 0.024 / static_cast<double>(std::min(width, height));
    zeb::DiffractionKernel kernel =
        zeb::build_diffraction_kernel(aperture, f_value * (1.22 * 5.55e-7), pitch);
    EXPECT_EQ(kernel.status, zeb::KernelStatus::ok);
    EXPECT_TRUE(zeb::normalize_kernel_sum(kernel.values));
    return kernel.values;
  }

  void expect_references_returned() {
    EXPECT_EQ(host_.ledger().outstanding(), 0);
    EXPECT_EQ(host_.ledger().over_releases, 0);
    EXPECT_EQ(host_.ref_count(), 0);
    EXPECT_EQ(camera_->ref_count(), 0);
    EXPECT_EQ(host_.scene().ref_count(), 0);
  }

  BloomHost host_;
  zeb::host::MemoryCamera* camera_;
};

// --- the complete pass ---

// A single bright pixel becomes the kernel turned by half a turn around it (the filter is a
// correlation); each channel keeps its sum, red 4.0 is not clamped, alpha passes unchanged.
struct Response {
  const char* name;
  std::optional<int32_t> shape;  // no record: the defaults, circle and 16
  float f_value;
  int32_t width;
  int32_t height;
  int32_t kernel_side;
};

class BloomResponse : public BloomTest, public ::testing::WithParamInterface<Response> {};

TEST_P(BloomResponse, BrightPixelSpreadsAsTheTurnedKernel) {
  const Response& c = GetParam();
  if (c.shape) set_record(*c.shape, c.f_value);
  MemoryImage& image = host_.make_image(c.width, c.height);
  const int32_t x0 = c.width / 2;
  const int32_t y0 = c.height / 2;
  const std::array<float, 3> bright = {4.0f, 2.0f, 1.0f};
  fill(image, [&](int32_t x, int32_t y) -> std::array<float, 4> {
    if (x == x0 && y == y0) return {bright[0], bright[1], bright[2], 0.25f};
    return {0.0f, 0.0f, 0.0f, 0.25f};
  });
  const cv::Mat kernel = expected_kernel(c.width, c.height, c.f_value, c.shape.value_or(0));
  ASSERT_EQ(kernel.rows, c.kernel_side);
  ASSERT_EQ(kernel.cols, c.kernel_side);
  double kernel_max = 0.0;
  cv::minMaxLoc(kernel, nullptr, &kernel_max);

  apply(image);

  const int32_t cx = kernel.cols / 2;
  const int32_t cy = kernel.rows / 2;
  std::array<double, 3> sums = {0.0, 0.0, 0.0};
  for (int32_t y = 0; y < c.height; ++y) {
    for (int32_t x = 0; x < c.width; ++x) {
      const float* out = image.pixel(x, y);
      ASSERT_EQ(out[3], 0.25f) << x << "," << y;
      const int32_t i = cy - (y - y0);
      const int32_t j = cx - (x - x0);
      const bool inside = i >= 0 && i < kernel.rows && j >= 0 && j < kernel.cols;
      const double weight = inside ? kernel.at<double>(i, j) : 0.0;
      for (std::size_t ch = 0; ch < 3; ++ch) {
        ASSERT_NEAR(out[ch], bright[ch] * weight, 1e-6 * bright[ch] * kernel_max)
            << "pixel " << x << "," << y << " channel " << ch;
        sums[ch] += out[ch];
      }
    }
  }
  for (std::size_t ch = 0; ch < 3; ++ch) EXPECT_NEAR(sums[ch], bright[ch], 1e-6 * bright[ch]);
  expect_references_returned();
}

INSTANTIATE_TEST_SUITE_P(
    Kernels, BloomResponse,
    ::testing::Values(Response{"defaults_640x480", std::nullopt, 16.0f, 640, 480, 110},
                      Response{"hexagon_even_side", zeb::Hexagon, 30.0f, 64, 48, 20},
                      Response{"heptagon_odd_side", zeb::Heptagon, 31.0f, 64, 48, 21}),
    [](const ::testing::TestParamInfo<Response>& info) { return std::string(info.param.name); });

// The host calls of a complete pass, in order, with the log lines among them.
TEST_F(BloomTest, HostCallsAndReleasesInOrder) {
  set_record(zeb::Hexagon, 8.0f);
  MemoryImage& image = host_.make_image(16, 12);
  fill(image, varied);
  host_.message_sink = [this](const char* text) {
    const std::string line = text;
    const std::size_t took = line.find(" took: ");
    host_.calls.push_back("message " + (took == std::string::npos ? line : line.substr(0, took)));
  };

  apply(image);

  const Lines expected = {
      "get_scene",
      "active_camera_index",
      "camera_at 0",
      "find_stream Camera 1 0 " + std::to_string(zeb::CAMERA_STREAM_ID),
      "get_effect_image",
      "image_size image",
      "image_size image",
      "message [begin] zeb bloom 1.0.0",
      "read_int",
      "read_float",
      "message Image width: 16 [px]",
      "message Image height: 12 [px]",
      "message Film height: 2.4000e-002 [m]",
      "message Sensor pitch: 2.0000e-003 [m]",
      "message F-value: 8.0000e+000 [-]",
      "message Airy radius: 5.4168e-006 [m]",
      "message Airy radius: 2.7084e-003 [px]",
      "get_resources",
      "load_resource_image IMG_HEXAGON",
      "message Aperture shape: hexagon",
      "image_size aperture IMG_HEXAGON",
      "image_size aperture IMG_HEXAGON",
      "message Fourier transform",
      "message Filtering",
      "message [end] zeb bloom",
      "release aperture IMG_HEXAGON",
      "release image",
      "release stream",
      "release Camera 1",
      "release scene",
  };
  EXPECT_EQ(host_.calls, expected);
  EXPECT_EQ(image.pixel_reads, 16 * 12);
  EXPECT_EQ(image.pixel_writes, 16 * 12);
  EXPECT_EQ(image.ref_count(), 0);
  expect_references_returned();
}

TEST_F(BloomTest, TwelveLinesWithoutRecord) {
  MemoryImage& image = host_.make_image(640, 480);
  apply(image);
  ASSERT_EQ(host_.messages.size(), 12u);
  const Lines head = {
      "[begin] zeb bloom 1.0.0",      "Image width: 640 [px]",         "Image height: 480 [px]",
      "Film height: 2.4000e-002 [m]", "Sensor pitch: 5.0000e-005 [m]", "F-value: 1.6000e+001 [-]",
      "Airy radius: 1.0834e-005 [m]", "Airy radius: 2.1667e-001 [px]", "Aperture shape: circle"};
  EXPECT_EQ(Lines(host_.messages.begin(), host_.messages.begin() + 9), head);
  EXPECT_TRUE(std::regex_match(host_.messages[9], FOURIER_LINE)) << host_.messages[9];
  EXPECT_TRUE(std::regex_match(host_.messages[10], FILTERING_LINE)) << host_.messages[10];
  EXPECT_EQ(host_.messages[11], "[end] zeb bloom");
  // Without a record no stream is read or released.
  EXPECT_EQ(releases(host_.calls), (Lines{"release aperture IMG_CIRCLE", "release image",
                                          "release Camera 1", "release scene"}));
  expect_references_returned();
}

// Kernels of one pixel, also those whose side truncates to 0, change no red, green or blue.
struct Identity {
  int32_t width;
  int32_t height;
  float f_value;
};

class BloomIdentity : public BloomTest, public ::testing::WithParamInterface<Identity> {};

TEST_P(BloomIdentity, OnePixelKernelLeavesImageBitIdentical) {
  const Identity& c = GetParam();
  set_record(zeb::Heptagon, c.f_value);
  MemoryImage& image = host_.make_image(c.width, c.height);
  fill(image, varied);
  const std::vector<float> before = image.pixels();
  apply(image);
  EXPECT_TRUE(same_bits(image.pixels(), before));
  EXPECT_EQ(image.pixel_writes, int64_t{c.width} * c.height);
  ASSERT_EQ(host_.messages.size(), 12u);
  EXPECT_EQ(host_.messages.back(), "[end] zeb bloom");
  expect_references_returned();
}

INSTANTIATE_TEST_SUITE_P(Sizes, BloomIdentity,
                         ::testing::Values(Identity{100, 100, 1.0f},  // 1.44: 1 x 1
                                           Identity{64, 64, 1.0f},    // 0.92: built as 1 x 1
                                           Identity{5, 3, 1e-30f}));  // far below one pixel

// A uniform colour stays uniform: unit sum and reflected borders, also with a kernel larger than
// the image.
struct Uniform {
  int32_t shape;
  float f_value;
  int32_t width;
  int32_t height;
};

class BloomUniform : public BloomTest, public ::testing::WithParamInterface<Uniform> {};

TEST_P(BloomUniform, StaysUniform) {
  const Uniform& c = GetParam();
  set_record(c.shape, c.f_value);
  MemoryImage& image = host_.make_image(c.width, c.height);
  const std::array<float, 4> colour = {0.8f, 3.5f, 0.02f, 0.5f};
  fill(image, [&](int32_t, int32_t) { return colour; });
  apply(image);
  ASSERT_EQ(host_.messages.size(), 12u);
  for (int32_t y = 0; y < c.height; ++y)
    for (int32_t x = 0; x < c.width; ++x) {
      const float* out = image.pixel(x, y);
      for (std::size_t ch = 0; ch < 3; ++ch)
        ASSERT_NEAR(out[ch], colour[ch], 1e-6 * colour[ch]) << x << "," << y << " ch " << ch;
      ASSERT_EQ(out[3], colour[3]);
    }
  expect_references_returned();
}

INSTANTIATE_TEST_SUITE_P(Kernels, BloomUniform,
                         ::testing::Values(Uniform{zeb::Hexagon, 30.0f, 48, 36},    // 15 x 15
                                           Uniform{zeb::Circle, 100.0f, 16, 12}));  // 17 x 17

// --- rejected passes: two lines, image untouched, every reference back ---

struct Rejection {
  const char* name;
  std::optional<int32_t> shape;  // no record when empty
  float f_value;
  int32_t width;
  int32_t height;
  const char* error;
};

class BloomRejection : public BloomTest, public ::testing::WithParamInterface<Rejection> {};

TEST_P(BloomRejection, TwoLinesImageUnchanged) {
  const Rejection& c = GetParam();
  if (c.shape) set_record(*c.shape, c.f_value);
  MemoryImage& image = host_.make_image(c.width, c.height);
  fill(image, varied);
  const std::vector<float> before = image.pixels();
  apply(image);
  EXPECT_EQ(host_.messages, (Lines{"[begin] zeb bloom 1.0.0", c.error}));
  EXPECT_TRUE(same_bits(image.pixels(), before));
  EXPECT_EQ(image.pixel_reads, 0);
  EXPECT_EQ(image.pixel_writes, 0);
  Lines expected_releases = {"release image", "release stream", "release Camera 1",
                             "release scene"};
  if (!c.shape) expected_releases.erase(expected_releases.begin() + 1);
  EXPECT_EQ(releases(host_.calls), expected_releases);
  EXPECT_EQ(std::count(host_.calls.begin(), host_.calls.end(), "get_resources"), 0);
  expect_references_returned();
}

constexpr const char* SHAPE_ERROR = "[error] Invalid aperture shape.";
constexpr const char* F_ERROR = "[error] Invalid F-value.";
constexpr const char* SIZE_ERROR = "[error] Invalid image size.";

INSTANTIATE_TEST_SUITE_P(
    Records, BloomRejection,
    ::testing::Values(Rejection{"shape_3", 3, 16.0f, 8, 6, SHAPE_ERROR},
                      Rejection{"shape_minus_1", -1, 16.0f, 8, 6, SHAPE_ERROR},
                      Rejection{"shape_before_f", 3, -2.0f, 8, 6, SHAPE_ERROR},
                      Rejection{"f_zero", zeb::Circle, 0.0f, 8, 6, F_ERROR},
                      Rejection{"f_negative", zeb::Hexagon, -2.0f, 8, 6, F_ERROR},
                      Rejection{"f_nan", zeb::Heptagon, NOT_A_NUMBER, 8, 6, F_ERROR},
                      Rejection{"f_infinite", zeb::Circle, INFINITE, 8, 6, F_ERROR},
                      Rejection{"f_minus_infinite", zeb::Circle, -INFINITE, 8, 6, F_ERROR},
                      Rejection{"no_width", std::nullopt, 0.0f, 0, 6, SIZE_ERROR},
                      Rejection{"no_height", std::nullopt, 0.0f, 8, 0, SIZE_ERROR},
                      Rejection{"negative_size", std::nullopt, 0.0f, -4, -4, SIZE_ERROR},
                      Rejection{"shape_before_size", 7, 16.0f, 0, 0, SHAPE_ERROR},
                      Rejection{"f_before_size", zeb::Circle, NOT_A_NUMBER, 0, 0, F_ERROR}),
    [](const ::testing::TestParamInfo<Rejection>& info) { return std::string(info.param.name); });

// An F-value whose kernel would exceed int32 or any sensible memory is refused once the aperture
// picture is known, before the kernel is allocated.
class BloomHugeF : public BloomTest, public ::testing::WithParamInterface<float> {};

TEST_P(BloomHugeF, RefusedBeforeTheKernel) {
  set_record(zeb::Circle, GetParam());
  MemoryImage& image = host_.make_image(64, 48);
  fill(image, varied);
  const std::vector<float> before = image.pixels();
  apply(image);
  ASSERT_EQ(host_.messages.size(), 10u);
  EXPECT_EQ(host_.messages[8], "Aperture shape: circle");
  EXPECT_EQ(host_.messages[9], F_ERROR);
  EXPECT_TRUE(same_bits(image.pixels(), before));
  EXPECT_EQ(image.pixel_writes, 0);
  EXPECT_EQ(releases(host_.calls), (Lines{"release aperture IMG_CIRCLE", "release image",
                                          "release stream", "release Camera 1", "release scene"}));
  expect_references_returned();
}

// 1e6: a side of 693 000; 3e38: beyond int32.
INSTANTIATE_TEST_SUITE_P(Values, BloomHugeF, ::testing::Values(1e6f, 3e38f));

// Pictures without a usable power spectrum: nothing is written, no NaN reaches the image.
class BloomFlatAperture : public BloomTest, public ::testing::WithParamInterface<CustomAperture> {};

TEST_P(BloomFlatAperture, RefusedImageUntouched) {
  host_.custom_aperture = GetParam();
  set_record(zeb::Hexagon, 16.0f);
  MemoryImage& image = host_.make_image(40, 30);
  fill(image, varied);
  const std::vector<float> before = image.pixels();
  apply(image);
  ASSERT_EQ(host_.messages.size(), 10u);
  EXPECT_EQ(host_.messages[9], "[error] Invalid aperture image.");
  EXPECT_TRUE(same_bits(image.pixels(), before));
  EXPECT_EQ(image.pixel_writes, 0);
  EXPECT_EQ(releases(host_.calls).front(), "release aperture IMG_HEXAGON");
  expect_references_returned();
}

// A lit pixel at the origin transforms to exactly 1 everywhere.
INSTANTIATE_TEST_SUITE_P(
    Pictures, BloomFlatAperture,
    ::testing::Values(CustomAperture{"black", 64, 64, [](int32_t, int32_t) { return 0.0f; }},
                      CustomAperture{
                          "one_lit_pixel", 64, 64,
                          [](int32_t x, int32_t y) { return x == 0 && y == 0 ? 1.0f : 0.0f; }},
                      CustomAperture{"empty", 0, 0, [](int32_t, int32_t) { return 1.0f; }}),
    [](const ::testing::TestParamInfo<CustomAperture>& info) {
      return std::string(info.param.name);
    });

// --- exceptions pass through, references do not leak ---

TEST_F(BloomTest, ThrowingPixelReadPassesThroughAndReleasesAll) {
  set_record(zeb::Circle, 20.0f);
  ProbeImage image(host_.ledger(), 16, 12, &host_.calls);
  fill(image, varied);
  const std::vector<float> before = image.pixels();
  image.throw_at_read = 50;
  EXPECT_THROW(apply(image), std::runtime_error);
  EXPECT_TRUE(std::regex_match(host_.messages.back(), FOURIER_LINE));
  EXPECT_EQ(image.pixel_writes, 0);
  EXPECT_TRUE(same_bits(image.pixels(), before));
  EXPECT_EQ(releases(host_.calls), (Lines{"release aperture IMG_CIRCLE", "release image",
                                          "release stream", "release Camera 1", "release scene"}));
  EXPECT_EQ(image.ref_count(), 0);
  expect_references_returned();
}

class BloomWithoutResources : public BloomTest {
 protected:
  BloomWithoutResources() : BloomTest(false) {}
};

TEST_F(BloomWithoutResources, MissingPicturePassesThroughAndReleasesAll) {
  set_record(zeb::Heptagon, 16.0f);
  MemoryImage& image = host_.make_image(8, 6);
  EXPECT_THROW(apply(image), std::runtime_error);
  EXPECT_EQ(host_.messages.size(), 8u);  // up to the Airy radius in pixels
  EXPECT_EQ(releases(host_.calls),
            (Lines{"release image", "release stream", "release Camera 1", "release scene"}));
  expect_references_returned();
}

// --- the report for image sizes too large to fill in a test ---

// The rendered image reports the size but refuses its first pixel read: the pass has written its
// optics lines and built its kernel by then.
struct Report {
  int32_t width;
  int32_t height;
  float f_value;
  const char* pitch;
  const char* airy_metres;
  const char* airy_pixels;
};

class BloomReport : public BloomTest, public ::testing::WithParamInterface<Report> {};

TEST_P(BloomReport, OpticsLinesAndKernelBuilt) {
  const Report& c = GetParam();
  set_record(zeb::Circle, c.f_value);
  ProbeImage image(host_.ledger(), 1, 1, &host_.calls);
  image.reported_size = zeb::ImageSize{c.width, c.height};
  image.throw_at_read = 0;
  EXPECT_THROW(apply(image), std::runtime_error);
  ASSERT_EQ(host_.messages.size(), 10u);
  EXPECT_EQ(host_.messages[1], "Image width: " + std::to_string(c.width) + " [px]");
  EXPECT_EQ(host_.messages[2], "Image height: " + std::to_string(c.height) + " [px]");
  EXPECT_EQ(host_.messages[4], c.pitch);
  EXPECT_EQ(host_.messages[6], c.airy_metres);
  EXPECT_EQ(host_.messages[7], c.airy_pixels);
  EXPECT_TRUE(std::regex_match(host_.messages[9], FOURIER_LINE)) << host_.messages[9];
  expect_references_returned();
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, BloomReport,
    ::testing::Values(Report{640, 480, 16.0f, "Sensor pitch: 5.0000e-005 [m]",
                             "Airy radius: 1.0834e-005 [m]", "Airy radius: 2.1667e-001 [px]"},
                      // The pitch follows the smaller side, whichever it is.
                      Report{1920, 1080, 16.0f, "Sensor pitch: 2.2222e-005 [m]",
                             "Airy radius: 1.0834e-005 [m]", "Airy radius: 4.8751e-001 [px]"},
                      Report{1080, 1920, 16.0f, "Sensor pitch: 2.2222e-005 [m]",
                             "Airy radius: 1.0834e-005 [m]", "Airy radius: 4.8751e-001 [px]"},
                      // The largest usual case stays below the kernel cap: 3993 x 3993.
                      Report{7680, 4320, 64.0f, "Sensor pitch: 5.5556e-006 [m]",
                             "Airy radius: 4.3334e-005 [m]", "Airy radius: 7.8002e+000 [px]"}));

}  // namespace
