// The six functions the host resolves by name. Arguments beyond the ones each uses may be passed
// by the host and are ignored. A host that loads the module uses the *_fn types.
#pragma once

#include <cstdint>

#include "plugin/host.hpp"
#include "plugin/uuid.hpp"
#include "sxsdk/unknown.hpp"

namespace sxsdk {
class plugin_interface;
}

// Build information reported by get_info.
struct ModuleInfo {
  int32_t sdk_build;
  int32_t host_build;
  int32_t major_version;
  int32_t minor_version;
  int32_t micro_version;
  int32_t build_number;
};

#define ZEB_EXPORT extern "C" __attribute__((visibility("default")))

// Number of interfaces of that kind: 1, 2, 1 for attribute, effector, plugin; 0 otherwise.
ZEB_EXPORT int32_t has_interface(const IID* kind, zeb::HostServices* host);
// The implementation identifier of the entry, or the all-zero Uuid when there is none.
ZEB_EXPORT Uuid get_uuid(const IID* kind, int32_t index, void* aux);
// The display name in the host's language, owned by the host; null when there is no entry.
ZEB_EXPORT const char* get_name(const IID* kind, int32_t index, zeb::HostServices* host, void* aux);
// Creates the entry's object holding one reference and stores it in *slot; answers that count.
ZEB_EXPORT int32_t create_interface(const IID* kind, int32_t index, sxsdk::plugin_interface** slot,
                                    zeb::HostServices* host, void* aux);
ZEB_EXPORT int32_t get_info(ModuleInfo* info, zeb::HostServices* host, void* aux);
ZEB_EXPORT bool is_resident(const IID* kind, int32_t index, zeb::HostServices* host);

namespace zeb {
using has_interface_fn = decltype(&::has_interface);
using get_uuid_fn = decltype(&::get_uuid);
using get_name_fn = decltype(&::get_name);
using create_interface_fn = decltype(&::create_interface);
using get_info_fn = decltype(&::get_info);
using is_resident_fn = decltype(&::is_resident);
}  // namespace zeb
