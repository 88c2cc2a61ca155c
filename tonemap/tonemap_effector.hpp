// zeb tonemap: a global Reinhard-style operator driven by the image's mean luminance.
#pragma once

#include "plugin/host.hpp"
#include "plugin/host_ref.hpp"
#include "sxsdk/plugin_interface.hpp"

namespace zeb {

class zeb_tonemap_interface : public sxsdk::effector_interface {
 public:
  explicit zeb_tonemap_interface(HostServices& host);
  ~zeb_tonemap_interface() override;

  int32_t get_sdk_build(void* aux) override;
  Uuid get_implementation_uuid(void* aux) override;
  void set_effect_context(EffectContext* context, void* aux) override;
  void apply_effect(void* aux) override;

 private:
  HostRef<HostServices> host_services;
  EffectContext* effect_context = nullptr;  // borrowed
};

}  // namespace zeb
