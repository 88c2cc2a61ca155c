#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>
#include <memory>
#include <regex>
#include <string>
#include <vector>

#include "host/memory_host.hpp"
#include "module_test_support.hpp"
#include "plugin/identifiers.hpp"
#include "sxsdk/plugin_interface.hpp"

namespace {

using zeb::host::MemoryHost;
using zeb::host::MemoryImage;
using Rgba = std::array<float, 4>;

constexpr float NOT_A_NUMBER = std::numeric_limits<float>::quiet_NaN();

class TonemapEffect : public ::testing::Test {
 protected:
  // Creates the tonemap effector of the loaded module, applies it once to image and releases it.
  void apply(MemoryImage& image) {
    sxsdk::plugin_interface* object = nullptr;
    ASSERT_EQ(zeb::testing::loaded_module().create_interface(&zeb::EFFECTOR_KIND_ID, 0, &object,
                                                             &host_, nullptr),
              1);
    ASSERT_NE(object, nullptr);
    auto* effector = static_cast<sxsdk::effector_interface*>(object);
    effector->set_effect_context(&host_.make_effect_context(image), nullptr);
    effector->apply_effect(nullptr);
    effector->Release();
  }

  MemoryImage& image_of(int32_t width, int32_t height, const std::vector<Rgba>& pixels) {
    MemoryImage& image = host_.make_image(width, height);
    for (std::size_t i = 0; i < pixels.size(); ++i) {
      const auto x = static_cast<int32_t>(i % static_cast<std::size_t>(width));
      const auto y = static_cast<int32_t>(i / static_cast<std::size_t>(width));
      for (int c = 0; c < 4; ++c) image.pixel(x, y)[c] = pixels[i][static_cast<std::size_t>(c)];
    }
    return image;
  }

  static Rgba read(MemoryImage& image, int32_t x, int32_t y) {
    const float* p = image.pixel(x, y);
    return {p[0], p[1], p[2], p[3]};
  }

  MemoryHost host_;
};

// Images whose result is known to the last bit; pixels row by row.
struct Exact {
  const char* name;
  int32_t width;
  int32_t height;
  std::vector<Rgba> input;
  std::vector<Rgba> expected;
};

class TonemapExact : public TonemapEffect, public ::testing::WithParamInterface<Exact> {};

TEST_P(TonemapExact, PixelsToTheLastBit) {
  const Exact& c = GetParam();
  MemoryImage& image = image_of(c.width, c.height, c.input);
  apply(image);
  for (std::size_t i = 0; i < c.expected.size(); ++i) {
    const Rgba got = read(image, static_cast<int32_t>(i % static_cast<std::size_t>(c.width)),
                          static_cast<int32_t>(i / static_cast<std::size_t>(c.width)));
    for (std::size_t ch = 0; ch < 4; ++ch)
      EXPECT_EQ(got[ch], c.expected[i][ch]) << "pixel " << i << " channel " << ch;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Examples, TonemapExact,
    ::testing::Values(
        // Luminance exactly 1, mean 1: k (1 + w) / 2.
        Exact{"white",
              1,
              1,
              {{1, 1, 1, 1}},
              {{0.5083333253860474f, 0.5083333253860474f, 0.5083333253860474f, 1.0f}}},
        // Mean 1.0 from the pixels as they were before any is written; alpha passes.
        Exact{
            "black_and_grey",
            2,
            1,
            {{0, 0, 0, 1}, {2, 2, 2, 0.5f}},
            {{0, 0, 0, 1}, {0.9555555582046509f, 0.9555555582046509f, 0.9555555582046509f, 0.5f}}},
        // Low mean luminance brightens: s = 0.6000000000000001 / 0.29899999499320984.
        Exact{"red", 1, 1, {{1, 0, 0, 1}}, {{1.8655548095703125f, 0, 0, 1}}},
        Exact{"black",
              3,
              2,
              {{0, 0, 0, 1},
               {0, 0, 0, 0},
               {0, 0, 0, 0.25f},
               {0, 0, 0, 1},
               {0, 0, 0, 7},
               {0, 0, 0, 1}},
              {{0, 0, 0, 1},
               {0, 0, 0, 0},
               {0, 0, 0, 0.25f},
               {0, 0, 0, 1},
               {0, 0, 0, 7},
               {0, 0, 0, 1}}}),
    [](const ::testing::TestParamInfo<Exact>& info) { return std::string(info.param.name); });

// A sum that is not a number, or not above 0, falls back to the mean 1.0: the white pixel then
// maps as if it were alone.
TEST_F(TonemapEffect, NanSumFallsBackToMeanOne) {
  MemoryImage& image = image_of(2, 1, {{NOT_A_NUMBER, 0, 0, 1}, {1, 1, 1, 1}});
  apply(image);
  EXPECT_TRUE(std::isnan(read(image, 0, 0)[0]));
  EXPECT_EQ(read(image, 0, 0)[3], 1.0f);
  const Rgba expected = {0.5083333253860474f, 0.5083333253860474f, 0.5083333253860474f, 1.0f};
  EXPECT_EQ(read(image, 1, 0), expected);
}

TEST_F(TonemapEffect, NegativeSumFallsBackToMeanOneAndIsNotClamped) {
  MemoryImage& image = image_of(1, 2, {{-2, -2, -2, 0.5f}, {1, 1, 1, 1}});
  apply(image);
  const Rgba white = {0.5083333253860474f, 0.5083333253860474f, 0.5083333253860474f, 1.0f};
  EXPECT_EQ(read(image, 0, 1), white);
  // Y = -2 with s = k: -2 k (1 - 2 w) / (1 - 2), negative and kept so.
  const double k = 0.1 * 6.0;
  const double w = 1.0 / ((0.1 * 6.0 * 2.0) * (0.1 * 6.0 * 2.0));
  const Rgba got = read(image, 0, 0);
  EXPECT_NEAR(got[0], -2.0 * k * (1.0 - 2.0 * w) / (1.0 - 2.0), 1e-5);
  EXPECT_EQ(got[3], 0.5f);
}

// A uniform grey v follows k (1 + w v) / (1 + v): the mean equals the pixel's own luminance.
class TonemapUniform : public TonemapEffect, public ::testing::WithParamInterface<float> {};

TEST_P(TonemapUniform, FollowsTheCurve) {
  const float v = GetParam();
  const double k = 0.1 * 6.0;
  const double w = 1.0 / ((0.1 * 6.0 * 2.0) * (0.1 * 6.0 * 2.0));
  MemoryImage& image = image_of(3, 2, std::vector<Rgba>(6, Rgba{v, v, v, 0.75f}));
  apply(image);
  // s = k / mean differs from k / v by the rounding of the single-precision luminance.
  const double expected = k * (1.0 + w * v) / (1.0 + v);
  for (int32_t y = 0; y < 2; ++y) {
    for (int32_t x = 0; x < 3; ++x) {
      const Rgba got = read(image, x, y);
      for (std::size_t ch = 0; ch < 3; ++ch) EXPECT_NEAR(got[ch], expected, 1e-6 * expected);
      EXPECT_EQ(got[3], 0.75f);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Greys, TonemapUniform,
                         ::testing::Values(1e-4f, 0.18f, 1.0f, 5.0f, 1000.0f));

TEST_F(TonemapEffect, SevenLines) {
  MemoryImage& image = image_of(2, 1, {{0.5f, 0.5f, 0.5f, 1}, {0.2f, 0.1f, 0.0f, 1}});
  apply(image);
  ASSERT_EQ(host_.messages.size(), 7u);
  EXPECT_EQ(host_.messages[0], "[begin] zeb tonemap 1.0.0");
  EXPECT_EQ(host_.messages[1], "Alpha:   0.10 [-]");
  EXPECT_EQ(host_.messages[2], "Pre-scale:   6.00 [-]");
  EXPECT_EQ(host_.messages[3], "Post-scale:   1.00 [-]");
  EXPECT_EQ(host_.messages[4], "Burn:   2.00 [-]");
  EXPECT_TRUE(std::regex_match(host_.messages[5],
                               std::regex(R"(Tonemapping took: [ 0-9]{2}[0-9]\.[0-9]{2} \[sec\])")))
      << host_.messages[5];
  EXPECT_EQ(host_.messages[6], "[end] zeb tonemap");
}

// Each pixel is read once per pass and written once, and every reference comes back.
TEST_F(TonemapEffect, ReadsTwiceWritesOnceAndReturnsEveryReference) {
  MemoryImage& image = image_of(4, 3, std::vector<Rgba>(12, Rgba{0.3f, 0.6f, 0.9f, 1}));
  const int64_t baseline = host_.ledger().outstanding();
  apply(image);
  EXPECT_EQ(image.pixel_reads, 2 * 12);
  EXPECT_EQ(image.pixel_writes, 12);
  EXPECT_EQ(image.ref_count(), 0);
  EXPECT_EQ(host_.ref_count(), 0);
  EXPECT_EQ(host_.ledger().outstanding(), baseline);
  EXPECT_EQ(host_.ledger().over_releases, 0);
  const std::vector<std::string> expected_calls = {"get_effect_image", "image_size image",
                                                   "release image"};
  EXPECT_EQ(host_.calls, expected_calls);
}

// An image without pixels is neither read nor written, and the report is complete.
class TonemapEmpty : public TonemapEffect,
                     public ::testing::WithParamInterface<std::pair<int32_t, int32_t>> {};

TEST_P(TonemapEmpty, SevenLinesNoPixelAccess) {
  MemoryImage& image = host_.make_image(GetParam().first, GetParam().second);
  apply(image);
  EXPECT_EQ(host_.messages.size(), 7u);
  EXPECT_EQ(host_.messages.back(), "[end] zeb tonemap");
  EXPECT_EQ(image.pixel_reads, 0);
  EXPECT_EQ(image.pixel_writes, 0);
  EXPECT_EQ(host_.ledger().outstanding(), 0);
}

INSTANTIATE_TEST_SUITE_P(Sizes, TonemapEmpty,
                         ::testing::Values(std::pair{0, 0}, std::pair{0, 3}, std::pair{3, 0},
                                           std::pair{-1, 2}));

}  // namespace
