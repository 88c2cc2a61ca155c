// Image files through OpenImageIO: channel layouts in, channels and metadata out, the sRGB
// coding of 8/16-bit files, and the whole-or-nothing write.
#include "host/image_file.hpp"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "host/atomic_file.hpp"

namespace zeb::host {
namespace {

namespace fs = std::filesystem;

class ImageFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("zeb_image_test_" + std::to_string(::getpid()));
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }
  std::string path(const char* name) const { return (dir_ / name).string(); }

  // Writes a file with OpenImageIO directly, in a layout the host's writer never makes.
  void write_raw(const char* name, int width, int height, const std::vector<std::string>& names,
                 OIIO::TypeDesc type, const std::vector<float>& pixels, int alpha = -1) {
    auto out = OIIO::ImageOutput::create(path(name));
    ASSERT_TRUE(out);
    OIIO::ImageSpec header(width, height, static_cast<int>(names.size()), type);
    header.channelnames = names;
    header.alpha_channel = alpha;
    header.attribute("Artist", "zeb test");
    header.attribute("oiio:UnassociatedAlpha", 1);  // the values as given, not divided by alpha
    ASSERT_TRUE(out->open(path(name), header));
    ASSERT_TRUE(out->write_image(OIIO::TypeDesc::FLOAT, pixels.data()));
    ASSERT_TRUE(out->close());
  }

  fs::path dir_;
};

TEST_F(ImageFileTest, OneChannelReadsAsOpaqueGrey) {
  write_raw("grey.exr", 2, 1, {"Y"}, OIIO::TypeDesc::FLOAT, {0.5f, 7.0f});
  const ImageFile image = read_image_file(path("grey.exr"));
  EXPECT_FALSE(image.has_alpha);
  EXPECT_EQ(image.rgba, (std::vector<float>{0.5f, 0.5f, 0.5f, 1.0f, 7.0f, 7.0f, 7.0f, 1.0f}));
}

TEST_F(ImageFileTest, GreyAndAlphaPngIsDecodedFromSrgb) {
  write_raw("ga.png", 1, 1, {"Y", "A"}, OIIO::TypeDesc::UINT8, {0.5f, 0.25f}, 1);
  const ImageFile image = read_image_file(path("ga.png"));
  ASSERT_TRUE(image.has_alpha);
  const float code = 128.0f / 255.0f;  // 0.5 stored in 8 bits
  EXPECT_NEAR(image.rgba[0], srgb_to_linear(code), 1e-6f);
  EXPECT_NEAR(image.rgba[0], 0.2158f, 1e-3f);
  EXPECT_NEAR(image.rgba[3], 64.0f / 255.0f, 1e-6f);  // alpha is not sRGB-coded
}

TEST_F(ImageFileTest, ExtraChannelsAndMetadataSurviveAnExrRoundTrip) {
  write_raw("deep.exr", 2, 1, {"R", "G", "B", "A", "Z"}, OIIO::TypeDesc::FLOAT,
            {1, 2, 3, 0.5f, 10, 4, 5, 6, 0.75f, 20}, 3);
  ImageFile image = read_image_file(path("deep.exr"));
  ASSERT_EQ(image.extra_names, std::vector<std::string>{"Z"});
  EXPECT_EQ(image.extra, (std::vector<float>{10, 20}));
  image.rgba[0] = 100.0f;
  EXPECT_TRUE(write_image_file(path("out.exr"), image).empty());

  const ImageFile out = read_image_file(path("out.exr"));
  EXPECT_EQ(out.rgba, (std::vector<float>{100, 2, 3, 0.5f, 4, 5, 6, 0.75f}));
  EXPECT_EQ(out.extra, (std::vector<float>{10, 20}));
  EXPECT_EQ(out.header.get_string_attribute("Artist"), "zeb test");
  EXPECT_EQ(out.header.format, OIIO::TypeDesc::FLOAT);
}

TEST_F(ImageFileTest, HalfStaysHalfAndIntegerDepthIsKept) {
  write_raw("h.exr", 1, 1, {"R", "G", "B"}, OIIO::TypeDesc::HALF, {1, 2, 3});
  write_image_file(path("h2.exr"), read_image_file(path("h.exr")));
  EXPECT_EQ(read_image_file(path("h2.exr")).header.format, OIIO::TypeDesc::HALF);
  write_raw("w.png", 1, 1, {"R", "G", "B"}, OIIO::TypeDesc::UINT16, {0.1f, 0.2f, 0.3f});
  write_image_file(path("w2.png"), read_image_file(path("w.png")));
  const ImageFile again = read_image_file(path("w2.png"));
  EXPECT_EQ(again.header.format, OIIO::TypeDesc::UINT16);
  EXPECT_NEAR(again.rgba[2], srgb_to_linear(0.3f), 1e-4f);
}

TEST_F(ImageFileTest, IntegerOutputsAreClampedAndFormatsWithoutAlphaSaySo) {
  ImageFile image = make_image(1, 1);
  image.rgba = {4.0f, -1.0f, 0.5f, 0.5f};
  image.has_alpha = true;
  image.extra_names = {"Z"};
  image.extra = {3.0f};
  EXPECT_TRUE(write_image_file(path("a.png"), image).size() == 1);  // the Z channel
  const ImageFile png = read_image_file(path("a.png"));
  EXPECT_FLOAT_EQ(png.rgba[0], 1.0f);
  EXPECT_FLOAT_EQ(png.rgba[1], 0.0f);
  EXPECT_NEAR(png.rgba[2], 0.5f, 0.01f);
  EXPECT_NEAR(png.rgba[3], 0.5f, 0.01f);

  const std::vector<std::string> notes = write_image_file(path("a.hdr"), image);
  ASSERT_EQ(notes.size(), 2u);
  EXPECT_NE(notes[0].find("holds no alpha"), std::string::npos) << notes[0];
  EXPECT_NEAR(read_image_file(path("a.hdr")).rgba[0], 4.0f, 0.05f);
}

TEST_F(ImageFileTest, ProblemsNameTheFile) {
  std::ofstream(path("junk.png")) << "junk";
  for (const auto& [file, message] :
       std::vector<std::pair<std::string, std::string>>{{path("none.exr"), "no such file"},
                                                        {path("junk.png"), "cannot read the image"},
                                                        {dir_.string(), "is a folder"}}) {
    try {
      read_image_file(file);
      ADD_FAILURE() << file;
    } catch (const std::runtime_error& error) {
      EXPECT_EQ(std::string(error.what()).rfind(file + ": ", 0), 0u) << error.what();
      EXPECT_NE(std::string(error.what()).find(message), std::string::npos) << error.what();
    }
  }
  EXPECT_THROW(check_writable_image_path(path("x.unknown")), std::runtime_error);
  EXPECT_THROW(check_writable_image_path(path("no/x.exr")), std::runtime_error);
  EXPECT_TRUE(writes_float(path("x.exr")));
  EXPECT_FALSE(writes_float(path("x.png")));
}

TEST_F(ImageFileTest, SrgbCodingRoundTrips) {
  for (const float code : {0.0f, 0.02f, 0.04045f, 0.2f, 0.5f, 0.9f, 1.0f})
    EXPECT_NEAR(linear_to_srgb(srgb_to_linear(code)), code, 1e-6f) << code;
}

}  // namespace
}  // namespace zeb::host
