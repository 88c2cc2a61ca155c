// Stand-in for the host SDK's plug-in bases. Each operation keeps the SDK's default so that a
// plug-in class overrides only what it serves. The operations the module relies on are declared
// in the host's slot order; a few others stand for the many the real SDK has, one of every kind
// of default it uses:
//   empty, answers false/true, answers 0/1, clears flag, clears flag and answers true, echoes,
//   zero identifier, part forwarding, reserved (closes each table, throws its base's name).
#pragma once

#include <cstdint>

#include "plugin/uuid.hpp"
#include "sxsdk/unknown.hpp"

namespace zeb {
class HostServices;
class HostDialog;
class Camera;
class EffectContext;
}  // namespace zeb

namespace sxsdk {

// Scene-graph shapes the host passes to some attribute operations; a part is a shape that
// groups others. Only the run-time type matters here.
class shape_class {
 public:
  virtual ~shape_class() = default;
};
class part_class : public shape_class {};

class plugin_interface : public unknown_interface {
 public:
  // Menu command entry point (plug-in commands).
  virtual void run_command(zeb::HostServices&, void*) {}
  virtual bool is_enabled(void*) { return true; }
  virtual bool uses_undo(void*) { return false; }
  virtual int32_t get_sdk_build(void*) { return 0; }
  virtual int32_t get_menu_count(void*) { return 1; }
  virtual int32_t get_extra_flags(void*) { return 0; }
  // Dialog responder: the host calls it while a dialog this object responds to is shown.
  virtual void load_dialog_data(zeb::HostDialog&, void*) {}
  virtual void save_dialog_data(zeb::HostDialog&, void*) {}
  virtual bool respond(bool& handled, zeb::HostDialog&, int32_t, int32_t, void*) {
    handled = false;
    return true;
  }
  virtual void dialog_closed(bool& accepted, zeb::HostDialog&, void*) { accepted = false; }
  virtual int32_t filter_item_value(int32_t, int32_t value, void*) { return value; }
  virtual Uuid get_implementation_uuid(void*) { return Uuid{}; }
  virtual void reserved_plugin_0(void*) { throw "invalid interface plugin_interface"; }
  virtual void reserved_plugin_1(void*) { throw "invalid interface plugin_interface"; }
};

class effector_interface : public plugin_interface {
 public:
  virtual void set_effect_context(zeb::EffectContext*, void*) {}
  virtual void apply_effect(void*) {}
  virtual bool needs_alpha(void*) { return false; }
  virtual int32_t preview_scale(void*) { return 1; }
  virtual void reserved_effector_0(void*) { throw "invalid interface effector_interface"; }
  virtual void reserved_effector_1(void*) { throw "invalid interface effector_interface"; }
};

class attribute_interface : public plugin_interface {
 public:
  virtual bool ask_shape(bool& handled, sxsdk::shape_class&, void*) {
    handled = false;
    return true;
  }
  virtual bool edit_camera_options(zeb::Camera&, void*) { return false; }
  virtual bool edit_light_options(zeb::Camera&, void*) { return false; }
  virtual void camera_options_edited(zeb::Camera&, void*) {}
  // Notification sent after the camera options dialog has closed.
  virtual void camera_options_closed(zeb::Camera&, void*) {}
  // Forwarded to the part variant when the shape is a part; no result otherwise.
  virtual shape_class* expand_shape(shape_class& shape, void* aux) {
    if (auto* part = dynamic_cast<part_class*>(&shape)) return expand_part(*part, aux);
    return nullptr;
  }
  virtual shape_class* expand_part(part_class&, void*) { return nullptr; }
  virtual void reserved_attribute_0(void*) { throw "invalid interface attribute_interface"; }
  virtual void reserved_attribute_1(void*) { throw "invalid interface attribute_interface"; }
};

}  // namespace sxsdk
