// The camera optics record: the aperture shape and F-value a camera carries for the bloom, kept
// as one attribute stream on the host's camera, an int32 then a float, with no header.
#pragma once

#include <cstdint>

#include "plugin/host.hpp"

namespace zeb {

enum ApertureShape : int32_t { Circle = 0, Hexagon = 1, Heptagon = 2 };

// The stream's number; the first word of the camera attribute's identifier, but a constant of its
// own.
constexpr int32_t CAMERA_STREAM_ID = static_cast<int32_t>(0x9F55EACDu);

struct CameraOpticsRecord {
  int32_t aperture_shape = Circle;  // stored unchecked: the bloom rejects what it cannot use
  float f_value = 16.0f;
};

// The camera's record, or the defaults (Circle, 16) when it has none.
CameraOpticsRecord read_camera_optics(Camera& camera);
// The record of the scene's active camera.
CameraOpticsRecord read_active_camera_optics(HostServices& host);
// Writes the two values into a stream that create_stream has just started afresh.
void write_camera_optics(AttributeStream& stream, const CameraOpticsRecord& record);

}  // namespace zeb
