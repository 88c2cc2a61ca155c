#include "bloom/bloom_effector.hpp"

#include "plugin/identifiers.hpp"
#include "plugin/version.hpp"

namespace zeb {

zeb_bloom_interface::zeb_bloom_interface(HostServices& host) : host_services(&host) {}
zeb_bloom_interface::~zeb_bloom_interface() = default;

int32_t zeb_bloom_interface::get_sdk_build(void*) { return SDK_BUILD; }
Uuid zeb_bloom_interface::get_implementation_uuid(void*) { return BLOOM_UUID; }
void zeb_bloom_interface::set_effect_context(EffectContext* context, void*) {
  effect_context = context;
}
void zeb_bloom_interface::apply_effect(void*) {}

}  // namespace zeb
