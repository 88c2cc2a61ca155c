#include "camera/camera_optics.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "host/memory_host.hpp"
#include "plugin/host_ref.hpp"

namespace {

using zeb::CAMERA_STREAM_ID;
using zeb::CameraOpticsRecord;
using zeb::host::MemoryCamera;
using zeb::host::MemoryHost;

const std::string STREAM_ID_TEXT = std::to_string(CAMERA_STREAM_ID);

class CameraOpticsTest : public ::testing::Test {
 protected:
  CameraOpticsTest() : camera(host.scene().add_camera("A")) {}

  // The way the camera options dialog stores a record: a fresh stream, the two values, release.
  void store(MemoryCamera& target, int32_t shape, float f_value) {
    zeb::HostRef<zeb::AttributeStream> stream(target.create_stream(0, CAMERA_STREAM_ID, nullptr),
                                              zeb::adopt_ref);
    zeb::write_camera_optics(*stream, {shape, f_value});
  }

  void expect_defaults(const CameraOpticsRecord& record) {
    EXPECT_EQ(record.aperture_shape, zeb::Circle);
    EXPECT_EQ(record.f_value, 16.0f);
  }

  void TearDown() override {
    EXPECT_EQ(host.ledger().outstanding(), 0);
    EXPECT_EQ(host.ledger().over_releases, 0);
  }

  MemoryHost host;
  MemoryCamera& camera;
};

TEST(CameraStreamId, IsTheAttributeIdentifiersFirstWord) {
  EXPECT_EQ(CAMERA_STREAM_ID, -1621759283);
  EXPECT_EQ(static_cast<uint32_t>(CAMERA_STREAM_ID), 0x9F55EACDu);
}

TEST_F(CameraOpticsTest, CameraWithoutRecordReadsDefaults) {
  expect_defaults(zeb::read_camera_optics(camera));
  EXPECT_EQ(host.calls, std::vector<std::string>{"find_stream A 0 " + STREAM_ID_TEXT});
  EXPECT_TRUE(camera.streams.empty());
}

struct RoundTrip {
  int32_t shape;
  float f_value;
  double f_value_read;  // the float widened back, as the dialog and the bloom see it
};

class CameraOpticsRoundTrip : public CameraOpticsTest,
                              public ::testing::WithParamInterface<RoundTrip> {};

// No range is enforced on the way in or out: the bloom decides what it can use.
TEST_P(CameraOpticsRoundTrip, StoredValuesComeBackUnchanged) {
  const RoundTrip& param = GetParam();
  store(camera, param.shape, param.f_value);
  const CameraOpticsRecord record = zeb::read_camera_optics(camera);
  EXPECT_EQ(record.aperture_shape, param.shape);
  EXPECT_EQ(static_cast<double>(record.f_value), param.f_value_read);
}

INSTANTIATE_TEST_SUITE_P(
    Values, CameraOpticsRoundTrip,
    ::testing::Values(RoundTrip{zeb::Hexagon, static_cast<float>(5.6), 5.599999904632568},
                      RoundTrip{zeb::Heptagon, 8.0f, 8.0}, RoundTrip{zeb::Circle, 16.0f, 16.0},
                      RoundTrip{5, 0.0f, 0.0}, RoundTrip{-1, -2.5f, -2.5},
                      RoundTrip{INT32_MAX, 1e30f, static_cast<double>(1e30f)}));

TEST_F(CameraOpticsTest, HostKeepsLittleEndianIntThenFloat) {
  store(camera, zeb::Hexagon, 5.6f);
  const std::vector<uint8_t> expected = {0x01, 0x00, 0x00, 0x00, 0x33, 0x33, 0xB3, 0x40};
  EXPECT_EQ(camera.streams.at(CAMERA_STREAM_ID), expected);
}

TEST_F(CameraOpticsTest, LaterWriteReplacesTheRecord) {
  store(camera, zeb::Circle, 2.0f);
  store(camera, zeb::Heptagon, 8.0f);
  EXPECT_EQ(camera.streams.at(CAMERA_STREAM_ID).size(), 8u);
  const CameraOpticsRecord record = zeb::read_camera_optics(camera);
  EXPECT_EQ(record.aperture_shape, zeb::Heptagon);
  EXPECT_EQ(record.f_value, 8.0f);
}

TEST_F(CameraOpticsTest, DeletedRecordReadsDefaultsAgain) {
  store(camera, zeb::Hexagon, 4.0f);
  camera.delete_stream(0, CAMERA_STREAM_ID, nullptr);
  expect_defaults(zeb::read_camera_optics(camera));
}

TEST_F(CameraOpticsTest, ShortStreamKeepsDefaultsForMissingValues) {
  camera.streams[CAMERA_STREAM_ID] = {};
  expect_defaults(zeb::read_camera_optics(camera));

  camera.streams[CAMERA_STREAM_ID] = {0x02, 0x00, 0x00, 0x00, 0x00, 0x00};
  const CameraOpticsRecord record = zeb::read_camera_optics(camera);
  EXPECT_EQ(record.aperture_shape, zeb::Heptagon);
  EXPECT_EQ(record.f_value, 16.0f);
}

TEST_F(CameraOpticsTest, OtherStreamsOfTheCameraAreNotTheRecord) {
  camera.streams[CAMERA_STREAM_ID + 1] = {0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x80, 0x40};
  expect_defaults(zeb::read_camera_optics(camera));
}

TEST_F(CameraOpticsTest, ActiveCameraOnlyIsRead) {
  MemoryCamera& second = host.scene().add_camera("B");
  store(second, zeb::Heptagon, 4.0f);
  expect_defaults(zeb::read_active_camera_optics(host));

  host.scene().active_index = 1;
  host.calls.clear();
  const CameraOpticsRecord record = zeb::read_active_camera_optics(host);
  EXPECT_EQ(record.aperture_shape, zeb::Heptagon);
  EXPECT_EQ(record.f_value, 4.0f);
  const std::vector<std::string> expected = {
      "get_scene",    "active_camera_index", "camera_at 1",    "find_stream B 0 " + STREAM_ID_TEXT,
      "read_int",     "read_float",          "release stream", "release B",
      "release scene"};
  EXPECT_EQ(host.calls, expected);
}

}  // namespace
