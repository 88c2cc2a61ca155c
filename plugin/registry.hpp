// The fixed table of the module's interfaces: one line per interface class.
#pragma once

#include <cstdint>

#include "plugin/host.hpp"
#include "plugin/identifiers.hpp"
#include "sxsdk/plugin_interface.hpp"

namespace zeb {

struct RegistryEntry {
  static constexpr int32_t ANY_INDEX = -1;

  const InterfaceKindId* kind;
  int32_t index;  // ANY_INDEX: the kind's single entry answers every index
  const Uuid* implementation_uuid;
  const char* name_string_id;
  // Allocates the object with count 0; create_interface adds the first reference.
  sxsdk::plugin_interface* (*construct)(HostServices& host);
};

bool same_kind(const InterfaceKindId& a, const InterfaceKindId& b);
int32_t count_entries(const InterfaceKindId& kind);
// Null when the kind or index has no entry.
const RegistryEntry* find_entry(const InterfaceKindId& kind, int32_t index);

}  // namespace zeb
