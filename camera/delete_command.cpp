#include "camera/delete_command.hpp"

#include "camera/camera_optics.hpp"
#include "plugin/host_log.hpp"
#include "plugin/host_ref.hpp"
#include "plugin/identifiers.hpp"
#include "plugin/version.hpp"

namespace zeb {

// Every camera loses its record, held or not; the host treats a missing stream as nothing to do.
void zeb_delete_camera_attribute_plugin_interface::run_command(HostServices& host, void*) {
  HostRef<Scene> scene(host.get_scene(nullptr), adopt_ref);
  const HostLog log(host);
  log.begin("[begin] zeb delete camera attribute plugin %d.%d.%d");
  // The count is asked anew before every camera rather than trusted from the first answer.
  for (int32_t index = 0; index < scene->camera_count(nullptr); ++index) {
    HostRef<Camera> camera(scene->camera_at(index, nullptr), adopt_ref);
    camera->delete_stream(index, CAMERA_STREAM_ID, nullptr);
  }
  log.line("Attributes has been removed.");
  log.line("[end] zeb delete camera attribute plugin");
}

int32_t zeb_delete_camera_attribute_plugin_interface::get_sdk_build(void*) { return SDK_BUILD; }
Uuid zeb_delete_camera_attribute_plugin_interface::get_implementation_uuid(void*) {
  return DELETE_COMMAND_UUID;
}

}  // namespace zeb
