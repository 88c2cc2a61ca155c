// zeb bloom: spreads the light of the rendered image the way the lens aperture diffracts it.
#pragma once

#include "plugin/host.hpp"
#include "plugin/host_ref.hpp"
#include "sxsdk/plugin_interface.hpp"

namespace zeb {

class zeb_bloom_interface : public sxsdk::effector_interface {
 public:
  explicit zeb_bloom_interface(HostServices& host);
  ~zeb_bloom_interface() override;

  int32_t get_sdk_build(void* aux) override;
  Uuid get_implementation_uuid(void* aux) override;
  void set_effect_context(EffectContext* context, void* aux) override;
  void apply_effect(void* aux) override;

 private:
  HostRef<HostServices> host_services;
  EffectContext* effect_context = nullptr;  // borrowed
};

}  // namespace zeb
