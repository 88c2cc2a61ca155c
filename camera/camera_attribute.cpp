#include "camera/camera_attribute.hpp"

#include "plugin/identifiers.hpp"
#include "plugin/version.hpp"

namespace zeb {

zeb_camera_attribute_interface::zeb_camera_attribute_interface(HostServices& host)
    : host_services(&host) {}
zeb_camera_attribute_interface::~zeb_camera_attribute_interface() = default;

int32_t zeb_camera_attribute_interface::get_sdk_build(void*) { return SDK_BUILD; }
void zeb_camera_attribute_interface::load_dialog_data(HostDialog&, void*) {}
Uuid zeb_camera_attribute_interface::get_implementation_uuid(void*) {
  return CAMERA_ATTRIBUTE_UUID;
}
bool zeb_camera_attribute_interface::edit_camera_options(Camera&, void*) { return false; }
void zeb_camera_attribute_interface::camera_options_closed(Camera&, void*) {}

}  // namespace zeb
