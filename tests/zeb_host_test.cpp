// zeb-host run as a process, the way a user runs it: commands, files, exit status, and what
// appears on stdout (the module's message window, nothing else) and stderr.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "host/atomic_file.hpp"
#include "host/image_file.hpp"
#include "host/scene_file.hpp"
#include "module_test_support.hpp"

namespace zeb::host {
namespace {

namespace fs = std::filesystem;

constexpr int32_t CAMERA_STREAM = static_cast<int32_t>(0x9F55EACDu);

struct HostRun {
  int status = -1;
  std::string out;
  std::string err;
};

std::string quoted(const std::string& text) {
  std::string result = "'";
  for (const char c : text) result += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return result + "'";
}

std::vector<std::string> lines_of(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::string joined_lines(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  return text;
}

// The host keeps padding between rows; what goes in packed must come out packed, through the
// pixel accessors as well as whole.
TEST(MemoryImageTest, PackedPixelsRoundTripAcrossRowsWithoutThePadding) {
  MemoryHost host;
  MemoryImage& image = host.make_image(3, 2);
  std::vector<float> packed(3 * 2 * 4);
  for (std::size_t i = 0; i < packed.size(); ++i) packed[i] = static_cast<float>(i);
  image.set_pixels(packed);
  EXPECT_EQ(image.pixels(), packed);
  float rgba[4];
  image.get_pixel_rgba(0, 1, rgba, nullptr);  // the first pixel of the second row
  EXPECT_EQ(rgba[0], 12.0f);
  EXPECT_EQ(rgba[3], 15.0f);

  packed.pop_back();
  image.label = "render";
  try {
    image.set_pixels(packed);
    ADD_FAILURE() << "a short pixel vector was taken";
  } catch (const std::invalid_argument& error) {
    EXPECT_STREQ(error.what(), "render: 23 floats for a 3x2 image");
  }
  EXPECT_EQ(image.pixels()[22], 22.0f);  // nothing was copied
}

class ZebHostTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "zeb_host_test_XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::string path(const std::string& name) const { return (dir_ / name).string(); }

  HostRun run(const std::vector<std::string>& args, const std::string& input = "") const {
    std::string command = quoted(ZEB_HOST_PATH);
    for (const std::string& arg : args) command += " " + quoted(arg);
    const std::string in = path(".stdin"), out = path(".stdout"), err = path(".stderr");
    std::ofstream(in) << input;
    command += " <" + quoted(in) + " >" + quoted(out) + " 2>" + quoted(err);
    const int status = std::system(command.c_str());
    HostRun result;
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.out = read_whole_file(out);
    result.err = read_whole_file(err);
    fs::remove(in);
    fs::remove(out);
    fs::remove(err);
    return result;
  }

  // Every file of the folder, names only: shows outputs and forgotten temporaries alike.
  std::vector<std::string> files() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir_)) names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
  }

  void write_picture(const std::string& name, int32_t width, int32_t height,
                     const std::vector<float>& rgba, bool alpha) const {
    ImageFile image = make_image(width, height);
    for (std::size_t i = 0; i < image.rgba.size(); ++i) image.rgba[i] = rgba[i % rgba.size()];
    image.has_alpha = alpha;
    write_image_file(path(name), image);
  }

  // Written directly: starting a process costs half a second, and `scene new` has tests of its
  // own below.
  std::string new_scene(int cameras, int active = 0) const {
    const std::string scene = path("scene.json");
    write_scene_file(scene, make_scene(cameras, active));
    return scene;
  }

  fs::path dir_;
};

// --- apply on the usual formats ---

struct FormatCase {
  const char* name;
  const char* input;
  const char* output;
  bool alpha;       // the input has alpha, and the output keeps it
  float value;      // a uniform colour value; above 1 only where the format holds it
  float tolerance;  // what the file's coding allows
};
void PrintTo(const FormatCase& c, std::ostream* out) { *out << c.name; }

class ApplyFormatTest : public ZebHostTest, public ::testing::WithParamInterface<FormatCase> {};

// A uniform image stays uniform through the bloom (unit-sum kernel, reflected borders), so what
// comes out shows what the file reading and writing did to the values.
TEST_P(ApplyFormatTest, KeepsValuesAndAlpha) {
  const FormatCase& format = GetParam();
  const float v = format.value;
  write_picture(format.input, 40, 30, {v, v / 2, v / 4, 0.25f}, format.alpha);
  const HostRun result =
      run({"apply", path(format.input), "-o", path(format.output), "--effect", "bloom"});
  ASSERT_EQ(result.status, 0) << result.err;
  const ImageFile out = read_image_file(path(format.output));
  ASSERT_EQ(out.width, 40);
  ASSERT_EQ(out.height, 30);
  EXPECT_EQ(out.has_alpha, format.alpha);
  for (std::size_t i = 0; i < out.rgba.size(); i += 4) {
    ASSERT_NEAR(out.rgba[i], v, format.tolerance * v) << "pixel " << i / 4;
    ASSERT_NEAR(out.rgba[i + 1], v / 2, format.tolerance * v);
    ASSERT_NEAR(out.rgba[i + 2], v / 4, format.tolerance * v);
    ASSERT_NEAR(out.rgba[i + 3], format.alpha ? 0.25f : 1.0f, 1e-3f);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Formats, ApplyFormatTest,
    ::testing::Values(FormatCase{"ExrRgbaUnclamped", "in.exr", "out.exr", true, 12.0f, 1e-3f},
                      FormatCase{"ExrRgb", "in.exr", "out.exr", false, 3.0f, 1e-3f},
                      FormatCase{"HdrUnclamped", "in.hdr", "out.hdr", false, 6.0f, 1e-2f},
                      FormatCase{"PngRgba", "in.png", "out.png", true, 0.8f, 1e-2f},
                      FormatCase{"TiffToExr", "in.tif", "out.exr", true, 5.0f, 1e-3f}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ZebHostTest, ApplyBloomSpreadsABrightPointWithoutClampingIt) {
  std::vector<float> rgba(64 * 48 * 4, 0.0f);
  for (std::size_t i = 3; i < rgba.size(); i += 4) rgba[i] = 0.5f;
  float* centre = &rgba[(24 * 64 + 32) * 4];
  centre[0] = centre[1] = centre[2] = 1000.0f;
  write_picture("point.exr", 64, 48, rgba, true);
  const HostRun result = run({"apply", path("point.exr"), "-o", path("spread.exr"), "--effect",
                              "bloom", "--f-value", "16"});
  ASSERT_EQ(result.status, 0) << result.err;
  const ImageFile out = read_image_file(path("spread.exr"));
  double sum = 0;
  int lit = 0;
  for (std::size_t i = 0; i < out.rgba.size(); i += 4) {
    sum += out.rgba[i];
    lit += out.rgba[i] > 1e-6f;
    ASSERT_FLOAT_EQ(out.rgba[i + 3], 0.5f);
  }
  EXPECT_NEAR(sum, 1000.0, 1.0);  // the kernel sums to 1: light is spread, not lost
  EXPECT_GT(lit, 1);
  EXPECT_GT(out.rgba[(24 * 64 + 32) * 4], 1.0f);
}

TEST_F(ZebHostTest, ApplyStoresTheDialogAnswersOnTheSceneAndRendersWithThem) {
  const std::string scene = new_scene(2);
  write_picture("in.exr", 32, 24, {1.0f, 1.0f, 1.0f, 1.0f}, false);
  const HostRun result = run({"apply", path("in.exr"), "-o", path("out.exr"), "--scene", scene,
                              "--shape", "hexagon", "--f-value", "5.6", "--effect", "bloom"});
  ASSERT_EQ(result.status, 0) << result.err;
  const std::vector<std::string> lines = lines_of(result.out);
  EXPECT_NE(std::find(lines.begin(), lines.end(), "Aperture shape: hexagon"), lines.end())
      << result.out;
  EXPECT_NE(std::find(lines.begin(), lines.end(), "F-value: 5.600000 [-]"), lines.end());

  const SceneData saved = read_scene_file(scene);
  const std::vector<uint8_t>& bytes = saved.cameras.at(0).streams.at(CAMERA_STREAM);
  ASSERT_EQ(bytes.size(), 8u);
  int32_t shape;
  float f_value;
  std::memcpy(&shape, bytes.data(), 4);  // the host's encoding is little-endian, as is x86-64
  std::memcpy(&f_value, bytes.data() + 4, 4);
  EXPECT_EQ(shape, 1);
  EXPECT_EQ(f_value, 5.6f);
  EXPECT_TRUE(saved.cameras.at(1).streams.empty());
}

TEST_F(ZebHostTest, ApplyWithACameraRendersThroughItAndKeepsTheActiveOne) {
  const std::string scene = new_scene(3, 2);
  write_picture("in.exr", 32, 24, {1.0f, 1.0f, 1.0f, 1.0f}, false);
  const HostRun result = run({"apply", path("in.exr"), "-o", path("out.exr"), "--scene", scene,
                              "--camera", "1", "--shape", "heptagon", "--effect", "bloom"});
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_NE(result.out.find("Aperture shape: heptagon\n"), std::string::npos) << result.out;
  const SceneData saved = read_scene_file(scene);
  EXPECT_EQ(saved.active_camera, 2);
  EXPECT_EQ(saved.cameras.at(1).streams.count(CAMERA_STREAM), 1u);
  EXPECT_EQ(saved.cameras.at(2).streams.count(CAMERA_STREAM), 0u);
}

TEST_F(ZebHostTest, EffectsRunInTheOrderGiven) {
  write_picture("in.exr", 16, 16, {1.0f, 1.0f, 1.0f, 1.0f}, false);
  const HostRun result = run(
      {"apply", "--effect", "tonemap", "--effect", "bloom", path("in.exr"), "-o", path("o.exr")});
  ASSERT_EQ(result.status, 0) << result.err;
  const std::size_t tonemap = result.out.find("[begin] zeb tonemap");
  ASSERT_NE(tonemap, std::string::npos);
  EXPECT_GT(result.out.find("[begin] zeb bloom"), tonemap);
}

// --- scene commands, the dialog and the delete command ---

TEST_F(ZebHostTest, DeleteAttributesLeavesEveryCameraWithout) {
  const std::string scene = path("new.json");
  ASSERT_EQ(run({"scene", "new", scene, "--cameras", "3"}).status, 0);
  ASSERT_EQ(run({"camera-options", scene, "--camera", "0", "--shape", "heptagon"}).status, 0);
  ASSERT_EQ(run({"camera-options", scene, "--camera", "2", "--f-value", "2.8"}).status, 0);
  HostRun shown = run({"scene", "show", scene});
  EXPECT_NE(shown.out.find("camera 1: heptagon, F-value 16"), std::string::npos) << shown.out;
  // The dialog opens with the active camera's record, so camera 2 takes its shape too.
  EXPECT_NE(shown.out.find("camera 3: heptagon, F-value 2.8"), std::string::npos) << shown.out;

  const HostRun deleted = run({"delete-attributes", scene});
  ASSERT_EQ(deleted.status, 0) << deleted.err;
  EXPECT_EQ(deleted.out,
            "[begin] zeb delete camera attribute plugin 1.0.0\n"
            "Attributes has been removed.\n"
            "[end] zeb delete camera attribute plugin\n");
  shown = run({"scene", "show", scene});
  EXPECT_EQ(shown.out, scene +
                           ": 3 cameras, active camera 0\n"
                           "  0* camera 1: none\n"
                           "  1  camera 2: none\n"
                           "  2  camera 3: none\n");
}

TEST_F(ZebHostTest, CancelledDialogLeavesTheSceneFileAlone) {
  const std::string scene = new_scene(1);
  ASSERT_EQ(run({"camera-options", scene, "--shape", "hexagon"}).status, 0);
  const std::string before = read_whole_file(scene);
  const HostRun result = run({"camera-options", scene, "--cancel"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out, "[begin] zeb camera attribute 1.0.0\n[end] zeb camera attribute\n");
  EXPECT_EQ(read_whole_file(scene), before);
}

TEST_F(ZebHostTest, InteractiveDialogShowsTheTablesTextsAndTakesTheAnswers) {
  const std::string scene = new_scene(1);
  const HostRun result =
      run({"--lang", "ja", "camera-options", scene, "--interactive"}, "六角形\n5.6\ny\n");
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_NE(result.err.find("zeb camera設定"), std::string::npos) << result.err;
  EXPECT_NE(result.err.find("絞り形状"), std::string::npos);
  EXPECT_NE(result.err.find("(*) 0 円形"), std::string::npos);  // the defaults are shown
  EXPECT_NE(result.err.find("F値"), std::string::npos);
  EXPECT_NE(result.err.find("16"), std::string::npos);
  EXPECT_NE(run({"scene", "show", scene}).out.find("hexagon, F-value 5.6"), std::string::npos);

  // End of input before the answers is a cancel: the file stays as it was.
  const std::string before = read_whole_file(scene);
  EXPECT_EQ(run({"camera-options", scene, "--interactive"}, "2\n").status, 0);
  EXPECT_EQ(read_whole_file(scene), before);
}

TEST_F(ZebHostTest, InfoNamesTheInterfacesInTheChosenLanguage) {
  const HostRun ja = run({"info", "--lang", "ja"});
  ASSERT_EQ(ja.status, 0) << ja.err;
  for (const char* name : {"zeb camera設定", "トーンマッピング（Reinhard）（zeb tonemap）",
                           "ライトブルームエフェクタ（zeb bloom）", "zeb cameraカスタム属性の削除"})
    EXPECT_NE(ja.out.find(name), std::string::npos) << name;
  const HostRun en = run({"--lang", "en", "info"});
  EXPECT_NE(en.out.find("Light bloom effector(zeb bloom)"), std::string::npos) << en.out;
  EXPECT_NE(en.out.find("49F15F20-D77C-4352-830E-F7E208BC7BCE"), std::string::npos);
}

TEST_F(ZebHostTest, PsfWritesTheSpreadOfOnePointAsFloatOrLogScaledPicture) {
  ASSERT_EQ(run({"psf", "-o", path("psf.exr"), "--size", "64x64", "--shape", "hexagon"}).status, 0);
  const ImageFile exr = read_image_file(path("psf.exr"));
  double sum = 0;
  for (std::size_t i = 0; i < exr.rgba.size(); i += 4) sum += exr.rgba[i];
  EXPECT_NEAR(sum, 1.0, 1e-4);
  const float peak = exr.rgba[(32 * 64 + 32) * 4];
  EXPECT_GT(peak, 0.0f);

  ASSERT_EQ(run({"psf", "-o", path("psf.png"), "--size", "64x64", "--crop", "32"}).status, 0);
  const ImageFile png = read_image_file(path("psf.png"));
  EXPECT_EQ(png.width, 32);
  EXPECT_NEAR(png.rgba[(16 * 32 + 16) * 4], 1.0f, 1e-6f);  // the peak is full white
}

// --- the message window ---

// What the module sends, taken in-process from the same host objects, against what the process
// prints: the same lines, byte for byte, and nothing else.
TEST_F(ZebHostTest, StdoutCarriesTheModulesLinesExactlyAsSent) {
  const std::string scene = new_scene(2);
  const HostRun result =
      run({"camera-options", scene, "--camera", "1", "--shape", "heptagon", "--f-value", "4"});
  ASSERT_EQ(result.status, 0) << result.err;

  MemoryHost host(zeb::testing::module_resources());
  host.scene().add_camera("camera 1");
  host.scene().add_camera("camera 2");
  const int32_t shape = 2;
  const double f_value = 4.0;
  host.dialog_script = confirm_with(&shape, &f_value);
  {
    zeb::testing::ModuleObject attribute(ATTRIBUTE_KIND_ID, 0, host);
    attribute.attribute()->edit_camera_options(host.scene().camera(1), nullptr);
  }
  EXPECT_EQ(result.out, joined_lines(host.messages));
  EXPECT_EQ(read_scene_file(scene).cameras.at(1).streams.at(CAMERA_STREAM),
            host.scene().camera(1).streams.at(CAMERA_STREAM));
}

TEST_F(ZebHostTest, StdoutOfAnEffectPassMatchesTheModulesLines) {
  write_picture("in.exr", 48, 32, {0.2f, 3.0f, 0.5f, 1.0f}, false);
  const HostRun result = run({"apply", path("in.exr"), "-o", path("out.exr")});
  ASSERT_EQ(result.status, 0) << result.err;

  MemoryHost host(zeb::testing::module_resources());
  host.scene().add_camera("camera 1");
  MemoryImage& image = host.make_image(48, 32);
  for (int32_t y = 0; y < 32; ++y)
    for (int32_t x = 0; x < 48; ++x) {
      float* p = image.pixel(x, y);
      p[0] = 0.2f, p[1] = 3.0f, p[2] = 0.5f, p[3] = 1.0f;
    }
  MemoryEffectContext& context = host.make_effect_context(image);
  for (const int32_t index : {1, 0}) {  // bloom, then tonemap: the default chain
    zeb::testing::ModuleObject effector(EFFECTOR_KIND_ID, index, host);
    auto* object = static_cast<sxsdk::effector_interface*>(effector.get());
    object->set_effect_context(&context, nullptr);
    object->apply_effect(nullptr);
  }
  // Durations differ from run to run; every other byte must agree.
  const std::regex duration("took: +[0-9.]+ ");
  EXPECT_EQ(std::regex_replace(result.out, duration, "took: T "),
            std::regex_replace(joined_lines(host.messages), duration, "took: T "));
  EXPECT_EQ(result.out.find("zeb-host"), std::string::npos);
}

// --- bad input ---

struct BadInputCase {
  const char* name;
  std::vector<std::string> args;  // "@" stands for the test's folder
  const char* message;            // part of the one line on stderr
};
void PrintTo(const BadInputCase& c, std::ostream* out) { *out << c.name; }

class BadInputTest : public ZebHostTest, public ::testing::WithParamInterface<BadInputCase> {};

TEST_P(BadInputTest, FailsWithAMessageAndLeavesNoFileBehind) {
  write_picture("in.exr", 16, 16, {1.0f, 0.5f, 0.25f, 1.0f}, true);
  std::ofstream(path("garbage.exr")) << "not an image";
  std::ofstream(path("broken.json")) << "{\"format\": \"zeb-host scene\", \"version\": 1,";
  std::ofstream(path("future.json"))
      << R"({"format": "zeb-host scene", "version": 7, "active_camera": 0, "cameras": []})";
  write_picture("old.exr", 8, 8, {0.0f, 0.0f, 0.0f, 1.0f}, false);
  const std::string scene = new_scene(2);
  const std::vector<std::string> before = files();
  const std::string in_bytes = read_whole_file(path("in.exr"));
  const std::string old_bytes = read_whole_file(path("old.exr"));
  const std::string scene_bytes = read_whole_file(scene);

  std::vector<std::string> args;
  for (std::string arg : GetParam().args) {
    if (const std::size_t at = arg.find('@'); at != std::string::npos)
      arg.replace(at, 1, dir_.string());
    args.push_back(arg);
  }
  const HostRun result = run(args);
  EXPECT_NE(result.status, 0);
  EXPECT_NE(result.err.find(GetParam().message), std::string::npos) << result.err;
  EXPECT_EQ(files(), before);
  EXPECT_EQ(read_whole_file(path("in.exr")), in_bytes);
  EXPECT_EQ(read_whole_file(path("old.exr")), old_bytes);
  EXPECT_EQ(read_whole_file(scene), scene_bytes);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BadInputTest,
    ::testing::Values(
        BadInputCase{
            "MissingInput", {"apply", "@/none.exr", "-o", "@/out.exr"}, "none.exr: no such file"},
        BadInputCase{"UnreadableInput",
                     {"apply", "@/garbage.exr", "-o", "@/out.exr"},
                     "garbage.exr: cannot read the image"},
        BadInputCase{"UnsupportedOutput",
                     {"apply", "@/in.exr", "-o", "@/out.xyz"},
                     "out.xyz: cannot write images of this kind"},
        BadInputCase{
            "MissingOutputFolder", {"apply", "@/in.exr", "-o", "@/no/out.exr"}, "does not exist"},
        BadInputCase{"OutputIsInput",
                     {"apply", "@/in.exr", "-o", "@/in.exr", "--effect", "bloom"},
                     "in.exr: is the input file too"},
        BadInputCase{"MalformedScene",
                     {"apply", "@/in.exr", "-o", "@/out.exr", "--scene", "@/broken.json"},
                     "broken.json: not a valid JSON document"},
        BadInputCase{"NewerScene",
                     {"scene", "show", "@/future.json"},
                     "future.json: written in scene format version 7"},
        BadInputCase{
            "MissingScene", {"delete-attributes", "@/none.json"}, "none.json: no such file"},
        BadInputCase{
            "UnknownEffect", {"apply", "@/in.exr", "-o", "@/out.exr", "--effect", "glow"}, "glow"},
        BadInputCase{
            "UnknownShape", {"camera-options", "@/scene.json", "--shape", "square"}, "square"},
        BadInputCase{"BadNumber", {"camera-options", "@/scene.json", "--f-value", "5.6x"}, "5.6x"},
        BadInputCase{
            "NotANumber", {"apply", "@/in.exr", "-o", "@/out.exr", "--f-value", "nan"}, "nan"},
        BadInputCase{"CameraOutOfRange",
                     {"camera-options", "@/scene.json", "--camera", "2", "--shape", "circle"},
                     "scene.json: no camera 2 (the scene has 2 cameras)"},
        BadInputCase{"ApplyCameraOutOfRange",
                     {"apply", "@/in.exr", "-o", "@/out.exr", "--scene", "@/scene.json", "--camera",
                      "-1", "--shape", "circle"},
                     "no camera -1"},
        BadInputCase{
            "InvalidFValueStopsTheChain",
            {"apply", "@/in.exr", "-o", "@/out.exr", "--scene", "@/scene.json", "--f-value", "0"},
            "the bloom effector reported an error; "},
        BadInputCase{"FailedPassKeepsTheOldOutput",
                     {"apply", "@/in.exr", "-o", "@/old.exr", "--f-value", "-2"},
                     "the bloom effector reported an error"},
        BadInputCase{"SceneExists", {"scene", "new", "@/scene.json"}, "scene.json: exists already"},
        BadInputCase{"BadSize", {"psf", "-o", "@/psf.exr", "--size", "12"}, "size \"12\""},
        BadInputCase{
            "ModuleMissing", {"--module", "@/none.so", "info"}, "none.so: cannot load the module"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ZebHostTest, OverwriteAllowsReplacingTheInput) {
  write_picture("in.exr", 16, 16, {2.0f, 2.0f, 2.0f, 1.0f}, false);
  const HostRun result =
      run({"apply", path("in.exr"), "-o", path("in.exr"), "--effect", "tonemap", "--overwrite"});
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_LT(read_image_file(path("in.exr")).rgba[0], 1.0f);
  EXPECT_EQ(files(), std::vector<std::string>{"in.exr"});
}

TEST_F(ZebHostTest, HelpListsEveryCommandAndOption) {
  const HostRun help = run({"--help"});
  EXPECT_EQ(help.status, 0);
  for (const char* command :
       {"info", "apply", "camera-options", "delete-attributes", "scene", "psf", "demo"})
    EXPECT_NE(help.out.find(command), std::string::npos) << command;
  const HostRun apply = run({"apply", "--help"});
  for (const char* option :
       {"--effect", "--scene", "--camera", "--shape", "--f-value", "--overwrite", "sRGB"})
    EXPECT_NE(apply.out.find(option), std::string::npos) << option;
}

}  // namespace
}  // namespace zeb::host
