#include "tonemap/tonemap_effector.hpp"

#include "plugin/identifiers.hpp"
#include "plugin/version.hpp"

namespace zeb {

zeb_tonemap_interface::zeb_tonemap_interface(HostServices& host) : host_services(&host) {}
zeb_tonemap_interface::~zeb_tonemap_interface() = default;

int32_t zeb_tonemap_interface::get_sdk_build(void*) { return SDK_BUILD; }
Uuid zeb_tonemap_interface::get_implementation_uuid(void*) { return TONEMAP_UUID; }
void zeb_tonemap_interface::set_effect_context(EffectContext* context, void*) {
  effect_context = context;
}
void zeb_tonemap_interface::apply_effect(void*) {}

}  // namespace zeb
