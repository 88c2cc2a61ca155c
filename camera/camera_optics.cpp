#include "camera/camera_optics.hpp"

#include "plugin/host_ref.hpp"

namespace zeb {

CameraOpticsRecord read_camera_optics(Camera& camera) {
  CameraOpticsRecord record;
  HostRef<AttributeStream> stream(camera.find_stream(0, CAMERA_STREAM_ID, nullptr), adopt_ref);
  if (!stream) return record;
  // A stream shorter than the record leaves the defaults in the fields it cannot fill.
  stream->read_int(&record.aperture_shape, nullptr);
  stream->read_float(&record.f_value, nullptr);
  return record;
}

CameraOpticsRecord read_active_camera_optics(HostServices& host) {
  HostRef<Scene> scene(host.get_scene(nullptr), adopt_ref);
  const int32_t active = scene->active_camera_index(nullptr);
  HostRef<Camera> camera(scene->camera_at(active, nullptr), adopt_ref);
  return read_camera_optics(*camera);
}

void write_camera_optics(AttributeStream& stream, const CameraOpticsRecord& record) {
  stream.write_int(&record.aperture_shape, nullptr);
  stream.write_float(&record.f_value, nullptr);
}

}  // namespace zeb
