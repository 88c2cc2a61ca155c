#include "camera/delete_command.hpp"

#include "plugin/identifiers.hpp"
#include "plugin/version.hpp"

namespace zeb {

void zeb_delete_camera_attribute_plugin_interface::run_command(HostServices&, void*) {}
int32_t zeb_delete_camera_attribute_plugin_interface::get_sdk_build(void*) { return SDK_BUILD; }
Uuid zeb_delete_camera_attribute_plugin_interface::get_implementation_uuid(void*) {
  return DELETE_COMMAND_UUID;
}

}  // namespace zeb
