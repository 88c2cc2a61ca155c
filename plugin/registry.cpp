#include "plugin/registry.hpp"

#include <cstring>

#include "bloom/bloom_effector.hpp"
#include "camera/camera_attribute.hpp"
#include "camera/delete_command.hpp"
#include "tonemap/tonemap_effector.hpp"

namespace zeb {

const Uuid CAMERA_ATTRIBUTE_UUID = uuid_from_text("9F55EACD-4402-4f47-9B14-CFD9C9FFD6EE");
const Uuid TONEMAP_UUID = uuid_from_text("6224533F-1BCB-46ce-8CD8-F19B8E028FB5");
const Uuid BLOOM_UUID = uuid_from_text("49F15F20-D77C-4352-830E-F7E208BC7BCE");
const Uuid DELETE_COMMAND_UUID = uuid_from_text("9F47E446-7C8D-4334-BC64-1ADDFCFD9D08");

namespace {

template <class T>
sxsdk::plugin_interface* construct_keeping_host(HostServices& host) {
  return new T(host);
}
template <class T>
sxsdk::plugin_interface* construct_plain(HostServices&) {
  return new T();
}

// Kinds are matched in table order: attribute, effector, plugin.
const RegistryEntry REGISTRY[] = {
    {&ATTRIBUTE_KIND_ID, RegistryEntry::ANY_INDEX, &CAMERA_ATTRIBUTE_UUID,
     "zeb_camera_attribute_interface_name",
     &construct_keeping_host<zeb_camera_attribute_interface>},
    {&EFFECTOR_KIND_ID, 0, &TONEMAP_UUID, "zeb_tonemap_interface_name",
     &construct_keeping_host<zeb_tonemap_interface>},
    {&EFFECTOR_KIND_ID, 1, &BLOOM_UUID, "zeb_bloom_interface_name",
     &construct_keeping_host<zeb_bloom_interface>},
    {&PLUGIN_KIND_ID, RegistryEntry::ANY_INDEX, &DELETE_COMMAND_UUID,
     "zeb_delete_camera_attribute_plugin_interface_name",
     &construct_plain<zeb_delete_camera_attribute_plugin_interface>},
};

}  // namespace

bool same_kind(const InterfaceKindId& a, const InterfaceKindId& b) {
  return std::memcmp(&a, &b, sizeof(InterfaceKindId)) == 0;
}

int32_t count_entries(const InterfaceKindId& kind) {
  int32_t count = 0;
  for (const RegistryEntry& entry : REGISTRY) count += same_kind(*entry.kind, kind) ? 1 : 0;
  return count;
}

const RegistryEntry* find_entry(const InterfaceKindId& kind, int32_t index) {
  for (const RegistryEntry& entry : REGISTRY) {
    if (!same_kind(*entry.kind, kind)) continue;
    if (entry.index == RegistryEntry::ANY_INDEX || entry.index == index) return &entry;
  }
  return nullptr;
}

}  // namespace zeb
