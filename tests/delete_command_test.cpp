// The delete command, driven through the built module as the host runs it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "camera/camera_optics.hpp"
#include "module_test_support.hpp"
#include "plugin/host_ref.hpp"

namespace {

using zeb::CAMERA_STREAM_ID;
using zeb::host::MemoryCamera;
using zeb::host::MemoryDialog;
using zeb::host::MemoryHost;
using zeb::testing::ModuleObject;
using Lines = std::vector<std::string>;

const std::string STREAM_ID_TEXT = std::to_string(CAMERA_STREAM_ID);
const Lines COMMAND_LINES = {"[begin] zeb delete camera attribute plugin 1.0.0",
                             "Attributes has been removed.",
                             "[end] zeb delete camera attribute plugin"};

void store(MemoryCamera& camera, int32_t shape, float f_value) {
  zeb::HostRef<zeb::AttributeStream> stream(camera.create_stream(0, CAMERA_STREAM_ID, nullptr),
                                            zeb::adopt_ref);
  zeb::write_camera_optics(*stream, {shape, f_value});
}

class DeleteCommandTest : public ::testing::Test {
 protected:
  DeleteCommandTest()
      : host(zeb::testing::module_resources()), command(zeb::PLUGIN_KIND_ID, 0, host) {}

  void run() {
    host.messages.clear();
    host.calls.clear();
    command.get()->run_command(host, nullptr);
    zeb::testing::expect_references_returned(host.ledger(), 0);
  }

  MemoryHost host;
  ModuleObject command;
};

TEST_F(DeleteCommandTest, KeepsNoHostReference) {
  EXPECT_EQ(host.ref_count(), 0);
  EXPECT_EQ(host.ledger().outstanding(), 0);
}

TEST_F(DeleteCommandTest, SceneWithoutCamerasGivesThreeLines) {
  run();
  EXPECT_EQ(host.messages, COMMAND_LINES);
  EXPECT_EQ(host.calls, (Lines{"get_scene", "camera_count", "release scene"}));
}

TEST_F(DeleteCommandTest, EveryCameraLosesItsRecordByIndex) {
  MemoryCamera& first = host.scene().add_camera("C0");
  MemoryCamera& second = host.scene().add_camera("C1");
  MemoryCamera& third = host.scene().add_camera("C2");
  store(second, zeb::Hexagon, 5.6f);
  third.streams[CAMERA_STREAM_ID + 1] = {0x2A};  // another plug-in's stream stays

  run();
  EXPECT_EQ(host.messages, COMMAND_LINES);
  Lines expected = {"get_scene"};
  for (int index = 0; index < 3; ++index) {
    const std::string i = std::to_string(index), name = "C" + i;
    expected.insert(expected.end(),
                    {"camera_count", "camera_at " + i,
                     "delete_stream " + name + " " + i + " " + STREAM_ID_TEXT, "release " + name});
  }
  expected.insert(expected.end(), {"camera_count", "release scene"});
  EXPECT_EQ(host.calls, expected);

  for (MemoryCamera* camera : {&first, &second, &third}) {
    const zeb::CameraOpticsRecord record = zeb::read_camera_optics(*camera);
    EXPECT_EQ(record.aperture_shape, zeb::Circle) << camera->name;
    EXPECT_EQ(record.f_value, 16.0f) << camera->name;
  }
  EXPECT_EQ(third.streams.count(CAMERA_STREAM_ID + 1), 1u);
}

TEST_F(DeleteCommandTest, RunningTwiceGivesTheSameLines) {
  store(host.scene().add_camera("C0"), zeb::Heptagon, 2.0f);
  run();
  const Lines first_calls = host.calls;
  run();
  EXPECT_EQ(host.messages, COMMAND_LINES);
  EXPECT_EQ(host.calls, first_calls);
}

TEST_F(DeleteCommandTest, DialogAfterwardsOpensWithDefaults) {
  MemoryCamera& camera = host.scene().add_camera("C0");
  store(camera, zeb::Heptagon, 4.0f);
  run();

  ModuleObject attribute(zeb::ATTRIBUTE_KIND_ID, 0, host);
  int32_t shown_shape = -1;
  double shown_f_value = -1.0;
  host.dialog_script = [&](MemoryDialog& dialog) {
    shown_shape = dialog.items.at(0).int_value;
    shown_f_value = dialog.items.at(1).float_value;
    return false;
  };
  attribute.attribute()->edit_camera_options(camera, nullptr);
  EXPECT_EQ(shown_shape, zeb::Circle);
  EXPECT_EQ(shown_f_value, 16.0);
}

}  // namespace
