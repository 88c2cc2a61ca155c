#include "plugin/exports.hpp"

#include "plugin/registry.hpp"
#include "plugin/version.hpp"

using zeb::find_entry;
using zeb::RegistryEntry;

int32_t has_interface(const IID* kind, zeb::HostServices*) { return zeb::count_entries(*kind); }

Uuid get_uuid(const IID* kind, int32_t index, void*) {
  const RegistryEntry* entry = find_entry(*kind, index);
  return entry ? *entry->implementation_uuid : Uuid{};
}

const char* get_name(const IID* kind, int32_t index, zeb::HostServices* host, void*) {
  const RegistryEntry* entry = find_entry(*kind, index);
  if (!entry) return nullptr;
  return host->get_resources(nullptr)->get_localized_string(entry->name_string_id);
}

// Without an entry the slot is left as the host set it and 0 is answered: no object exists.
int32_t create_interface(const IID* kind, int32_t index, sxsdk::plugin_interface** slot,
                         zeb::HostServices* host, void*) {
  const RegistryEntry* entry = find_entry(*kind, index);
  if (!entry) return 0;
  sxsdk::plugin_interface* object = entry->construct(*host);
  const auto count = static_cast<int32_t>(object->AddRef());
  *slot = object;
  return count;
}

int32_t get_info(ModuleInfo* info, zeb::HostServices*, void*) {
  info->sdk_build = zeb::SDK_BUILD;
  info->host_build = zeb::HOST_BUILD;
  info->major_version = zeb::VERSION_MAJOR;
  info->minor_version = zeb::VERSION_MINOR;
  info->micro_version = zeb::VERSION_MICRO;
  info->build_number = zeb::VERSION_BUILD;
  return 0;
}

bool is_resident(const IID*, int32_t, zeb::HostServices*) { return false; }
