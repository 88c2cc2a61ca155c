#include "camera/camera_attribute.hpp"

#include "camera/camera_optics.hpp"
#include "plugin/host_log.hpp"
#include "plugin/identifiers.hpp"
#include "plugin/version.hpp"

namespace zeb {
namespace {

constexpr const char* CAMERA_OPTIONS_DIALOG_UUID = "34061D3E-55D2-4cd4-898D-74DAA13DAF0D";

}  // namespace

zeb_camera_attribute_interface::zeb_camera_attribute_interface(HostServices& host)
    : host_services(&host) {}
zeb_camera_attribute_interface::~zeb_camera_attribute_interface() = default;

int32_t zeb_camera_attribute_interface::get_sdk_build(void*) { return SDK_BUILD; }

// The dialog always opens with the active camera's values, whichever camera it edits.
void zeb_camera_attribute_interface::load_dialog_data(HostDialog& dialog, void*) {
  const CameraOpticsRecord record = read_active_camera_optics(*host_services);
  dialog.set_item_int(aperture_item, record.aperture_shape, nullptr);
  dialog.set_item_float(f_value_item, static_cast<double>(record.f_value), nullptr);
}

Uuid zeb_camera_attribute_interface::get_implementation_uuid(void*) {
  return CAMERA_ATTRIBUTE_UUID;
}

bool zeb_camera_attribute_interface::edit_camera_options(Camera& camera, void*) {
  const HostLog log(*host_services);
  log.begin("[begin] zeb camera attribute %d.%d.%d");

  const Uuid dialog_id = uuid_from_text(CAMERA_OPTIONS_DIALOG_UUID);
  HostRef<HostDialog> dialog(host_services->create_dialog(dialog_id, nullptr), adopt_ref);
  // The resources are borrowed and asked for anew for every text, as the host hands them out.
  const auto text = [this](const char* string_id) {
    return host_services->get_resources(nullptr)->get_localized_string(string_id);
  };
  dialog->set_dialog_title(text("camera_attribute_dialog_name"), nullptr);
  aperture_item = dialog->append_dialog_item(HostDialog::CHOICE_ITEM,
                                             text("camera_attribute_aperture_shape"), -1, nullptr);
  f_value_item = dialog->append_dialog_item(HostDialog::NUMBER_ITEM,
                                            text("camera_attribute_F-value"), -1, nullptr);
  dialog->set_dialog_responder(this, nullptr);

  const bool confirmed = dialog->ask_dialog(0, nullptr);
  if (confirmed) {
    // Created before the values are fetched: the host has always seen the calls in this order.
    HostRef<AttributeStream> stream(camera.create_stream(0, CAMERA_STREAM_ID, nullptr), adopt_ref);
    int32_t shape = Circle;
    double f_value = 0.0;
    dialog->get_item_int(aperture_item, &shape, nullptr);
    dialog->get_item_float(f_value_item, &f_value, nullptr);

    log.format("Attribute stream ID: %X", {CAMERA_STREAM_ID});
    switch (shape) {
      case Circle:
        log.line("Aperture: Circle");
        break;
      case Hexagon:
        log.line("Aperture: Hexagon");
        break;
      case Heptagon:
        log.line("Aperture: Heptagon");
        break;
      default:  // stored all the same; the bloom rejects it when it renders
        break;
    }
    log.format("F-value: %f [-]", {f_value});
    write_camera_optics(*stream, {shape, static_cast<float>(f_value)});
    log.line("Attributes has been written.");
  }

  log.line("[end] zeb camera attribute");
  return confirmed;
}

void zeb_camera_attribute_interface::camera_options_closed(Camera&, void*) {}

}  // namespace zeb
