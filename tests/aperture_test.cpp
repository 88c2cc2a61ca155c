// The aperture pictures: the shipped files, their decoding by the reference host, and the
// sampling into the aperture matrix.
#include "bloom/aperture.hpp"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "host/memory_host.hpp"
#include "host/resource_image.hpp"
#include "host/resources.hpp"
#include "plugin/host_ref.hpp"

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

constexpr int SIDE = 512;
constexpr std::size_t HEADER = 18;
constexpr std::size_t FILE_SIZE = 262188;

Bytes read_bytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error(path.string() + ": cannot open");
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void write_bytes(const fs::path& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  ASSERT_TRUE(out.good()) << path;
}

// A fresh folder, removed with everything in it at the end of the test.
class TempDir {
 public:
  TempDir() {
    std::string pattern = (fs::temp_directory_path() / "zeb_aperture_XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
  }
  ~TempDir() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

fs::path shipped(const std::string& name) {
  return fs::path(ZEB_SOURCE_DIR) / "resources" / "TARGA" / (name + ".tga");
}

// Grey level of the pixel in column x of stored row r (r = 0 is the bottom row).
uint8_t stored(const Bytes& file, int x, int r) {
  return file[HEADER + static_cast<std::size_t>(r) * SIDE + static_cast<std::size_t>(x)];
}

struct Picture {
  const char* name;
  int32_t shape;
  const char* line;
  int64_t at_255;
  int64_t at_0;
  uint8_t corner;
};

const Picture PICTURES[] = {
    {"IMG_CIRCLE", 0, "Aperture shape: circle", 205048, 54972, 0},
    {"IMG_HEXAGON", 1, "Aperture shape: hexagon", 169210, 88804, 35},
    {"IMG_HEPTAGON", 2, "Aperture shape: heptagon", 177900, 82232, 0},
};

class ShippedPicture : public testing::TestWithParam<Picture> {
 protected:
  void SetUp() override { file = read_bytes(shipped(GetParam().name)); }
  Bytes file;
};

TEST_P(ShippedPicture, HeaderAndFooter) {
  ASSERT_EQ(file.size(), FILE_SIZE);
  const Bytes header = {0, 0, 3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x00, 0x02, 0x00, 0x02, 8, 0x08};
  EXPECT_EQ(Bytes(file.begin(), file.begin() + HEADER), header);
  Bytes footer(8, 0);
  const char signature[] = "TRUEVISION-XFILE.";
  footer.insert(footer.end(), signature, signature + sizeof(signature));  // with its zero
  ASSERT_EQ(footer.size(), 26u);
  EXPECT_EQ(Bytes(file.end() - 26, file.end()), footer);
}

TEST_P(ShippedPicture, GreyLevelCountsCentreAndCorners) {
  ASSERT_EQ(file.size(), FILE_SIZE);
  const auto begin = file.begin() + HEADER;
  const auto end = begin + SIDE * SIDE;
  const int64_t at_255 = std::count(begin, end, uint8_t{255});
  const int64_t at_0 = std::count(begin, end, uint8_t{0});
  EXPECT_NEAR(at_255, GetParam().at_255, 0.005 * GetParam().at_255);
  EXPECT_NEAR(at_0, GetParam().at_0, 0.005 * GetParam().at_0);
  EXPECT_EQ(stored(file, 256, 256), 255);
  for (const auto& [x, r] : {std::pair{0, 0}, {SIDE - 1, 0}, {0, SIDE - 1}, {SIDE - 1, SIDE - 1}}) {
    EXPECT_EQ(stored(file, x, r), GetParam().corner) << x << ", " << r;
  }
}

TEST_P(ShippedPicture, InsideAndOutsideSamples) {
  // Well inside every shape, and outside all of them towards two corners.
  EXPECT_EQ(stored(file, 256, 40), 255);
  EXPECT_EQ(stored(file, 40, 256), 255);
  EXPECT_EQ(stored(file, 30, 30), 0);
  EXPECT_EQ(stored(file, 480, 480), 0);
}

TEST(ShippedPicture, VerticesLieAtTheirAnglesInStoredOrientation) {
  // Hexagon vertex at 15 degrees, (503.3, 322.3); its mirror image about y = 256 is outside.
  const Bytes hexagon = read_bytes(shipped("IMG_HEXAGON"));
  EXPECT_GT(stored(hexagon, 500, 321), 0);
  EXPECT_EQ(stored(hexagon, 500, 190), 0);
  // Heptagon vertices at 2.14 degrees, (511.2, 265.6), and at 105 degrees, (189.5, 503.1).
  const Bytes heptagon = read_bytes(shipped("IMG_HEPTAGON"));
  EXPECT_GT(stored(heptagon, 510, 265), 0);
  EXPECT_EQ(stored(heptagon, 1, 265), 0);
  EXPECT_GT(stored(heptagon, 189, 501), 0);
  EXPECT_EQ(stored(heptagon, 189, 10), 0);
}

INSTANTIATE_TEST_SUITE_P(Apertures, ShippedPicture, testing::ValuesIn(PICTURES),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(HexagonFrame, BorderRowsAndColumns) {
  const Bytes file = read_bytes(shipped("IMG_HEXAGON"));
  ASSERT_EQ(file.size(), FILE_SIZE);
  const auto expected = [](int x, int r) -> int {
    const bool edge_column = x == 0 || x == SIDE - 1;
    const bool edge_row = r == 0 || r == SIDE - 1;
    if (edge_column && edge_row) return 35;
    if (edge_column && (r == 1 || r == SIDE - 2)) return 13;
    return 18;
  };
  for (int k = 0; k < SIDE; ++k) {
    for (const auto& [x, r] : {std::pair{k, 0}, {k, SIDE - 1}, {0, k}, {SIDE - 1, k}}) {
      ASSERT_EQ(stored(file, x, r), expected(x, r)) << x << ", " << r;
    }
  }
  // The frame is one pixel wide.
  EXPECT_EQ(stored(file, 1, 1), 0);
  EXPECT_EQ(stored(file, SIDE - 2, SIDE - 2), 0);
}

TEST(DrawApertures, RedrawsTheCommittedPicturesByteForByte) {
  TempDir out;
  const std::string command =
      std::string("'") + ZEB_DRAW_APERTURES_PATH + "' '" + out.path().string() + "'";
  ASSERT_EQ(std::system(command.c_str()), 0) << command;
  for (const Picture& picture : PICTURES) {
    const fs::path drawn = out.path() / (std::string(picture.name) + ".tga");
    EXPECT_TRUE(read_bytes(drawn) == read_bytes(shipped(picture.name))) << picture.name;
  }
  // Nothing but the three pictures is left behind.
  EXPECT_EQ(std::distance(fs::directory_iterator(out.path()), fs::directory_iterator()), 3);
}

TEST(DrawApertures, RefusesAMissingDirectoryArgument) {
  const std::string command = std::string("'") + ZEB_DRAW_APERTURES_PATH + "' 2>/dev/null";
  EXPECT_NE(std::system(command.c_str()), 0);
}

// --- decoding by the reference host ---

// A small greyscale TGA; descriptor bit 5 set stores the top row first.
Bytes small_tga(int width, int height, const Bytes& stored_pixels, bool top_row_first) {
  Bytes file(HEADER + stored_pixels.size(), 0);
  file[2] = 3;
  file[12] = static_cast<uint8_t>(width);
  file[14] = static_cast<uint8_t>(height);
  file[16] = 8;
  file[17] = top_row_first ? 0x28 : 0x08;
  std::copy(stored_pixels.begin(), stored_pixels.end(), file.begin() + HEADER);
  return file;
}

class ResourceImage : public testing::Test {
 protected:
  zeb::host::RefLedger ledger;
  TempDir dir;
};

TEST_F(ResourceImage, GreyInRedGreenBlueAlphaOne) {
  const fs::path path = dir.path() / "grey.tga";
  write_bytes(path, small_tga(2, 1, {0, 51}, false));
  auto image = zeb::host::read_resource_image(ledger, path.string());
  ASSERT_EQ(image->width(), 2);
  ASSERT_EQ(image->height(), 1);
  const std::vector<float> expected = {0, 0, 0, 1, 0.2f, 0.2f, 0.2f, 1};
  ASSERT_EQ(image->pixels().size(), expected.size());
  for (std::size_t k = 0; k < expected.size(); ++k) {
    EXPECT_FLOAT_EQ(image->pixels()[k], expected[k]) << k;
  }
}

TEST_F(ResourceImage, RowZeroIsTheTopRowInEitherStoredOrder) {
  // A 2 x 3 picture whose top row is 255 255 and the rest 0 0, stored both ways.
  const fs::path bottom_up = dir.path() / "bottom_up.tga";
  const fs::path top_down = dir.path() / "top_down.tga";
  write_bytes(bottom_up, small_tga(2, 3, {0, 0, 0, 0, 255, 255}, false));
  write_bytes(top_down, small_tga(2, 3, {255, 255, 0, 0, 0, 0}, true));
  for (const fs::path& path : {bottom_up, top_down}) {
    auto image = zeb::host::read_resource_image(ledger, path.string());
    ASSERT_EQ(image->height(), 3) << path;
    EXPECT_EQ(image->pixel(0, 0)[0], 1.0f) << path;
    EXPECT_EQ(image->pixel(1, 0)[0], 1.0f) << path;
    EXPECT_EQ(image->pixel(0, 2)[0], 0.0f) << path;
  }
}

TEST_F(ResourceImage, MissingOrMalformedFilesAreErrorsNamingTheFile) {
  Bytes truncated = read_bytes(shipped("IMG_CIRCLE"));
  truncated.resize(1000);
  Bytes bad_header = small_tga(4, 4, Bytes(16, 7), false);
  bad_header[2] = 77;  // no such image type
  Bytes garbage(300, 0xA5);
  const std::vector<std::pair<std::string, Bytes>> files = {{"truncated.tga", truncated},
                                                            {"bad_header.tga", bad_header},
                                                            {"garbage.tga", garbage},
                                                            {"empty.tga", {}}};
  for (const auto& [name, bytes] : files) write_bytes(dir.path() / name, bytes);

  std::vector<std::string> names = {"missing.tga"};
  for (const auto& file : files) names.push_back(file.first);
  for (const std::string& name : names) {
    const std::string path = (dir.path() / name).string();
    try {
      zeb::host::read_resource_image(ledger, path);
      ADD_FAILURE() << name << ": decoded without error";
    } catch (const std::runtime_error& error) {
      EXPECT_NE(std::string(error.what()).find(path), std::string::npos) << error.what();
    }
  }
  EXPECT_EQ(ledger.outstanding(), 0);
}

TEST(ModuleResources, UnknownResourceNameIsAnError) {
  zeb::host::RefLedger ledger;
  zeb::host::MemoryResources resources(ledger,
                                       {zeb::host::resource_dir_for_module(ZEB_MODULE_PATH), "en"});
  try {
    resources.load_resource_image("IMG_OCTAGON");
    FAIL() << "no error";
  } catch (const std::runtime_error& error) {
    EXPECT_NE(std::string(error.what()).find("IMG_OCTAGON"), std::string::npos) << error.what();
  }
  EXPECT_EQ(ledger.outstanding(), 0);
}

// --- names, lines and sampling ---

TEST(ApertureShape, ResourceNameAndLinePerShape) {
  for (const Picture& picture : PICTURES) {
    EXPECT_STREQ(zeb::aperture_resource_name(picture.shape), picture.name);
    EXPECT_STREQ(zeb::aperture_shape_line(picture.shape), picture.line);
  }
  for (const int32_t outside : {-1, 3}) {
    EXPECT_EQ(zeb::aperture_resource_name(outside), nullptr);
    EXPECT_EQ(zeb::aperture_shape_line(outside), nullptr);
  }
}

// Answers the size with a different value on each question and records every pixel read.
class ScriptedImage : public zeb::host::MemoryImage {
 public:
  ScriptedImage(zeb::host::RefLedger& ledger, std::vector<zeb::ImageSize> answers)
      : MemoryImage(ledger, 8, 8), answers_(std::move(answers)) {}
  zeb::ImageSize image_size(void* aux) override {
    MemoryImage::image_size(aux);
    return answers_.at(static_cast<std::size_t>(size_queries - 1));
  }
  void get_pixel_rgba(int32_t x, int32_t y, float* rgba, void* aux) override {
    reads.emplace_back(x, y);
    MemoryImage::get_pixel_rgba(x, y, rgba, aux);
  }
  std::vector<std::pair<int32_t, int32_t>> reads;

 private:
  std::vector<zeb::ImageSize> answers_;
};

TEST(ReadApertureImage, WidthFromTheFirstAnswerHeightFromTheSecondRowsOuter) {
  zeb::host::RefLedger ledger;
  ScriptedImage image(ledger, {{3, 99}, {77, 2}});
  for (int32_t y = 0; y < 8; ++y) {
    for (int32_t x = 0; x < 8; ++x) {
      float* p = image.pixel(x, y);
      p[0] = static_cast<float>(10 * y + x);
      p[1] = p[2] = p[3] = -1.0f;  // only red counts
    }
  }
  const cv::Mat aperture = zeb::read_aperture_image(image);
  EXPECT_EQ(image.size_queries, 2);
  ASSERT_EQ(aperture.rows, 2);
  ASSERT_EQ(aperture.cols, 3);
  ASSERT_EQ(aperture.type(), CV_64FC1);
  const std::vector<std::pair<int32_t, int32_t>> order = {{0, 0}, {1, 0}, {2, 0},
                                                          {0, 1}, {1, 1}, {2, 1}};
  EXPECT_EQ(image.reads, order);
  for (int y = 0; y < 2; ++y) {
    for (int x = 0; x < 3; ++x) EXPECT_EQ(aperture.at<double>(y, x), 10.0 * y + x);
  }
}

class SampledPicture : public testing::TestWithParam<Picture> {};

TEST_P(SampledPicture, OneReadPerPixelCentreAndCorners) {
  zeb::host::RefLedger ledger;
  zeb::host::MemoryResources resources(ledger,
                                       {zeb::host::resource_dir_for_module(ZEB_MODULE_PATH), "en"});
  zeb::HostRef<zeb::HostImage> picture(resources.load_resource_image(GetParam().name),
                                       zeb::adopt_ref);
  auto& memory = static_cast<zeb::host::MemoryImage&>(*picture);
  const cv::Mat aperture = zeb::read_aperture_image(*picture);
  EXPECT_EQ(memory.pixel_reads, 262144);
  EXPECT_EQ(memory.size_queries, 2);
  ASSERT_EQ(aperture.rows, SIDE);
  ASSERT_EQ(aperture.cols, SIDE);
  ASSERT_EQ(aperture.type(), CV_64FC1);
  EXPECT_EQ(aperture.at<double>(256, 256), 1.0);
  const double corner = static_cast<double>(static_cast<float>(GetParam().corner / 255.0));
  for (const auto& [y, x] : {std::pair{0, 0}, {0, SIDE - 1}, {SIDE - 1, 0}, {SIDE - 1, SIDE - 1}}) {
    EXPECT_NEAR(aperture.at<double>(y, x), corner, 1e-7) << y << ", " << x;
  }
  // Row 0 is the top of the picture, the last row the file stores.
  const Bytes file = read_bytes(shipped(GetParam().name));
  int mismatches = 0;
  for (int y = 0; y < SIDE; ++y) {
    for (int x = 0; x < SIDE; ++x) {
      const double grey =
          static_cast<double>(static_cast<float>(stored(file, x, SIDE - 1 - y) / 255.0));
      if (std::abs(aperture.at<double>(y, x) - grey) > 1e-7) ++mismatches;
    }
  }
  EXPECT_EQ(mismatches, 0);
  picture.reset();
  EXPECT_EQ(ledger.outstanding(), 0);
}

INSTANTIATE_TEST_SUITE_P(Apertures, SampledPicture, testing::ValuesIn(PICTURES),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
