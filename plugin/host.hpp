// The host's objects as the module sees them. Every object is reference-counted; an operation
// that returns an object hands over one reference (never null, except find_stream), which the
// caller releases through a HostRef. get_resources is the exception: its answer is borrowed.
// Every operation except those of ModuleResources takes a trailing auxiliary-data argument,
// always passed as null.
#pragma once

#include <cstdint>

#include "plugin/uuid.hpp"
#include "sxsdk/unknown.hpp"

namespace sxsdk {
class plugin_interface;
}

namespace zeb {

class Scene;
class Camera;
class AttributeStream;
class HostDialog;
class HostImage;
class ModuleResources;

struct ImageSize {
  int32_t width;
  int32_t height;
};

// Reference counting of host objects, without interface queries.
class HostObject {
 public:
  virtual ULONG AddRef() = 0;
  virtual ULONG Release() = 0;

 protected:
  ~HostObject() = default;
};

class HostServices : public HostObject {
 public:
  // One line in the message window; the text is valid only during the call.
  virtual void show_message(const char* text, void* aux) = 0;
  virtual Scene* get_scene(void* aux) = 0;
  // Borrowed: not released by the caller.
  virtual ModuleResources* get_resources(void* aux) = 0;
  virtual HostDialog* create_dialog(const Uuid& id, void* aux) = 0;

 protected:
  ~HostServices() = default;
};

// The module's resources, answered by the host in its user-interface language.
class ModuleResources {
 public:
  // Host-owned text, valid as long as the resources object.
  virtual const char* get_localized_string(const char* string_id) = 0;
  // The named TARGA resource, decoded.
  virtual HostImage* load_resource_image(const char* resource_name) = 0;

 protected:
  ~ModuleResources() = default;
};

class Scene : public HostObject {
 public:
  virtual int32_t camera_count(void* aux) = 0;
  virtual int32_t active_camera_index(void* aux) = 0;
  virtual Camera* camera_at(int32_t index, void* aux) = 0;

 protected:
  ~Scene() = default;
};

class Camera : public HostObject {
 public:
  // Null when the camera holds no stream of that id.
  virtual AttributeStream* find_stream(int32_t flags, int32_t stream_id, void* aux) = 0;
  // An empty stream that replaces the one of that id.
  virtual AttributeStream* create_stream(int32_t flags, int32_t stream_id, void* aux) = 0;
  virtual void delete_stream(int32_t camera_index, int32_t stream_id, void* aux) = 0;

 protected:
  ~Camera() = default;
};

// Values come back in the order they were written.
class AttributeStream : public HostObject {
 public:
  virtual void read_int(int32_t* value, void* aux) = 0;
  virtual void read_float(float* value, void* aux) = 0;
  virtual void write_int(const int32_t* value, void* aux) = 0;
  virtual void write_float(const float* value, void* aux) = 0;

 protected:
  ~AttributeStream() = default;
};

class HostDialog : public HostObject {
 public:
  // Item kinds.
  static constexpr int32_t CHOICE_ITEM = 2;  // choices from the label's "/"-separated tail
  static constexpr int32_t NUMBER_ITEM = 8;

  virtual void set_dialog_title(const char* title, void* aux) = 0;
  virtual int32_t append_dialog_item(int32_t kind, const char* label, int32_t item_id,
                                     void* aux) = 0;
  // The host calls the responder's load_dialog_data while the dialog is shown.
  virtual void set_dialog_responder(sxsdk::plugin_interface* responder, void* aux) = 0;
  // True when the user confirmed.
  virtual bool ask_dialog(int32_t flags, void* aux) = 0;
  virtual void get_item_int(int32_t item, int32_t* value, void* aux) = 0;
  virtual void set_item_int(int32_t item, int32_t value, void* aux) = 0;
  virtual void get_item_float(int32_t item, double* value, void* aux) = 0;
  virtual void set_item_float(int32_t item, double value, void* aux) = 0;

 protected:
  ~HostDialog() = default;
};

class EffectContext : public HostObject {
 public:
  virtual HostImage* get_effect_image(void* aux) = 0;

 protected:
  ~EffectContext() = default;
};

// Float RGBA pixels addressed by (x, y), 0 <= x < width, 0 <= y < height.
class HostImage : public HostObject {
 public:
  virtual ImageSize image_size(void* aux) = 0;
  virtual void get_pixel_rgba(int32_t x, int32_t y, float* rgba, void* aux) = 0;
  virtual void set_pixel_rgba(int32_t x, int32_t y, const float* rgba, void* aux) = 0;

 protected:
  ~HostImage() = default;
};

}  // namespace zeb
