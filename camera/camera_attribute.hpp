// zeb camera options: the camera attribute that edits a camera's aperture shape and F-value in a
// modal host dialog.
#pragma once

#include "plugin/host.hpp"
#include "plugin/host_ref.hpp"
#include "sxsdk/plugin_interface.hpp"

namespace zeb {

class zeb_camera_attribute_interface : public sxsdk::attribute_interface {
 public:
  explicit zeb_camera_attribute_interface(HostServices& host);
  ~zeb_camera_attribute_interface() override;

  int32_t get_sdk_build(void* aux) override;
  void load_dialog_data(HostDialog& dialog, void* aux) override;
  Uuid get_implementation_uuid(void* aux) override;
  bool edit_camera_options(Camera& camera, void* aux) override;
  void camera_options_closed(Camera& camera, void* aux) override;

 private:
  HostRef<HostServices> host_services;
  int32_t aperture_item = -1;
  int32_t f_value_item = -1;
};

}  // namespace zeb
