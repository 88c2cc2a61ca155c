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
  // Fills the dialog being shown with the record of the scene's active camera.
  void load_dialog_data(HostDialog& dialog, void* aux) override;
  Uuid get_implementation_uuid(void* aux) override;
  // Shows the dialog; on confirmation stores the two values as the record of camera (borrowed)
  // and answers true. A cancelled dialog answers false and leaves every record as it was.
  bool edit_camera_options(Camera& camera, void* aux) override;
  void camera_options_closed(Camera& camera, void* aux) override;

 private:
  HostRef<HostServices> host_services;
  // Items of the dialog most recently built; -1, no item, until the first one is.
  int32_t aperture_item = -1;
  int32_t f_value_item = -1;
};

}  // namespace zeb
