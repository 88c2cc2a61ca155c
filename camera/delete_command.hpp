// delete zeb camera attributes: the plug-in command that removes the camera optics record from
// every camera of the scene.
#pragma once

#include "plugin/host.hpp"
#include "sxsdk/plugin_interface.hpp"

namespace zeb {

class zeb_delete_camera_attribute_plugin_interface : public sxsdk::plugin_interface {
 public:
  void run_command(HostServices& host, void* aux) override;
  int32_t get_sdk_build(void* aux) override;
  Uuid get_implementation_uuid(void* aux) override;
};

}  // namespace zeb
