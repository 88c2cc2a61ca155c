#include "host/module_info.hpp"

#include <cstdio>

#include "plugin/identifiers.hpp"

namespace zeb::host {

std::string uuid_to_text(const Uuid& id) {
  char text[40];
  std::snprintf(text, sizeof text, "%08X-%04X-%04X-%04X-%04X%08X", id.w0, id.w1 >> 16,
                id.w1 & 0xFFFF, id.w2 >> 16, id.w2 & 0xFFFF, id.w3);
  return text;
}

std::vector<InterfaceListing> list_interfaces(LoadedModule& module, MemoryHost& host) {
  const struct {
    const char* name;
    const InterfaceKindId* kind;
  } kinds[] = {{"attribute", &ATTRIBUTE_KIND_ID},
               {"effector", &EFFECTOR_KIND_ID},
               {"plugin", &PLUGIN_KIND_ID}};
  std::vector<InterfaceListing> listing;
  for (const auto& kind : kinds) {
    const int32_t count = module.has_interface(kind.kind, &host);
    for (int32_t index = 0; index < count; ++index) {
      const char* name = module.get_name(kind.kind, index, &host, nullptr);
      listing.push_back(
          {kind.name, index, module.get_uuid(kind.kind, index, nullptr), name ? name : ""});
    }
  }
  return listing;
}

}  // namespace zeb::host
