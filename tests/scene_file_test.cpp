// The scene file: what is written reads back the same, members of newer tools survive, and
// every malformed document is refused with a message naming the file and the problem.
#include "host/scene_file.hpp"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "host/atomic_file.hpp"

namespace zeb::host {
namespace {

constexpr int32_t CAMERA_STREAM = static_cast<int32_t>(0x9F55EACDu);

TEST(SceneFileTest, RoundTripKeepsCamerasStreamsAndUnknownMembers) {
  const std::string text = R"({
  "format": "zeb-host scene",
  "version": 1,
  "comment": {"by": "a newer tool"},
  "active_camera": 1,
  "cameras": [
    {"name": "front", "streams": {"9F55EACD": "010000003333b340"}, "lens": [35, 50]},
    {"name": "side", "streams": {"00000007": "", "9f55eacd": "0200000000000041"}}
  ]
})";
  const SceneData scene = parse_scene(text, "s.json");
  ASSERT_EQ(scene.cameras.size(), 2u);
  EXPECT_EQ(scene.active_camera, 1);
  EXPECT_EQ(scene.cameras[0].name, "front");
  EXPECT_EQ(scene.cameras[0].streams.at(CAMERA_STREAM),
            (std::vector<uint8_t>{1, 0, 0, 0, 0x33, 0x33, 0xB3, 0x40}));
  EXPECT_EQ(scene.cameras[1].streams.at(7), std::vector<uint8_t>{});
  EXPECT_EQ(scene.cameras[1].streams.at(CAMERA_STREAM).size(), 8u);  // ids in any case

  const std::string written = format_scene(scene);
  const SceneData again = parse_scene(written, "again");
  EXPECT_EQ(format_scene(again), written);
  EXPECT_EQ(again.extra.at("comment").at("by"), "a newer tool");
  EXPECT_EQ(again.cameras[0].extra.at("lens"), nlohmann::ordered_json::parse("[35, 50]"));
  EXPECT_NE(written.find("\"9F55EACD\": \"010000003333b340\""), std::string::npos) << written;
}

TEST(SceneFileTest, ASceneWithoutCamerasIsValid) {
  const SceneData scene = parse_scene(format_scene(make_scene(0, 0)), "empty");
  EXPECT_TRUE(scene.cameras.empty());
}

struct MalformedCase {
  const char* name;
  const char* text;
  const char* message;
};
void PrintTo(const MalformedCase& c, std::ostream* out) { *out << c.name; }

class MalformedSceneTest : public ::testing::TestWithParam<MalformedCase> {};

TEST_P(MalformedSceneTest, IsRefusedNamingTheFile) {
  try {
    parse_scene(GetParam().text, "dir/s.json");
    FAIL() << "accepted";
  } catch (const SceneFileError& error) {
    const std::string what = error.what();
    EXPECT_EQ(what.rfind("dir/s.json: ", 0), 0u) << what;
    EXPECT_NE(what.find(GetParam().message), std::string::npos) << what;
    EXPECT_EQ(what.find('\n'), std::string::npos) << what;
  }
}

#define SCENE_HEAD R"("format": "zeb-host scene", "version": 1, )"

INSTANTIATE_TEST_SUITE_P(
    Cases, MalformedSceneTest,
    ::testing::Values(
        MalformedCase{"Empty", "", "not a valid JSON document"},
        MalformedCase{"Truncated", "{\"format\": ", "not a valid JSON document"},
        MalformedCase{"NotAnObject", "[1, 2]", "not a zeb-host scene"},
        MalformedCase{"OtherFormat", R"({"format": "x", "version": 1})", "not a zeb-host scene"},
        MalformedCase{"NoVersion", R"({"format": "zeb-host scene"})", "no \"version\""},
        MalformedCase{"TextVersion", R"({"format": "zeb-host scene", "version": "1"})",
                      "\"version\" is not a whole number"},
        MalformedCase{"NewerVersion",
                      R"({"format": "zeb-host scene", "version": 2, "cameras": []})",
                      "written in scene format version 2; this zeb-host reads up to version 1"},
        MalformedCase{"NoCameras", "{" SCENE_HEAD R"("active_camera": 0})", "no \"cameras\""},
        MalformedCase{"ActiveOutOfRange", "{" SCENE_HEAD R"("active_camera": 1, "cameras": [{}]})",
                      "active camera 1 does not exist"},
        MalformedCase{"ActiveTooLarge",
                      "{" SCENE_HEAD R"("active_camera": 4294967296, "cameras": []})",
                      "out of range"},
        MalformedCase{"CameraNotObject", "{" SCENE_HEAD R"("active_camera": 0, "cameras": [3]})",
                      "camera 0: is not an object"},
        MalformedCase{"NameNotText",
                      "{" SCENE_HEAD R"("active_camera": 0, "cameras": [{"name": 1}]})",
                      "\"name\" is not a string"},
        MalformedCase{"BadStreamId",
                      "{" SCENE_HEAD
                      R"("active_camera": 0, "cameras": [{"streams": {"XYZ": ""}}]})",
                      "stream id \"XYZ\""},
        MalformedCase{"LongStreamId",
                      "{" SCENE_HEAD
                      R"("active_camera": 0, "cameras": [{"streams": {"123456789": ""}}]})",
                      "stream id \"123456789\""},
        MalformedCase{"OddHex",
                      "{" SCENE_HEAD
                      R"("active_camera": 0, "cameras": [{"streams": {"1": "abc"}}]})",
                      "odd number of hex digits"},
        MalformedCase{"NotHex",
                      "{" SCENE_HEAD
                      R"("active_camera": 0, "cameras": [{"streams": {"1": "zz"}}]})",
                      "not a hex string"},
        MalformedCase{"StreamTwice",
                      "{" SCENE_HEAD
                      R"("active_camera": 0, "cameras": [{"streams": {"a": "", "A": ""}}]})",
                      "stream 0000000A is given twice"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SceneFileTest, ReadingNamesAMissingFile) {
  EXPECT_THROW(
      {
        try {
          read_scene_file("/nonexistent/s.json");
        } catch (const std::runtime_error& error) {
          EXPECT_STREQ(error.what(), "/nonexistent/s.json: no such file");
          throw;
        }
      },
      std::runtime_error);
}

// A write that cannot finish leaves the old file and no temporary.
TEST(SceneFileTest, AFailedWriteKeepsThePreviousFile) {
  namespace fs = std::filesystem;
  const fs::path dir = fs::temp_directory_path() / ("zeb_scene_test_" + std::to_string(::getpid()));
  fs::create_directories(dir);
  const std::string path = (dir / "s.json").string();
  write_scene_file(path, make_scene(2, 1));
  const std::string before = read_whole_file(path);
  {
    AtomicFile abandoned(path);
    write_file_atomically(abandoned.temporary(), "half");
    // not committed: the destructor removes it
  }
  EXPECT_EQ(read_whole_file(path), before);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
  fs::remove_all(dir);
}

}  // namespace
}  // namespace zeb::host
