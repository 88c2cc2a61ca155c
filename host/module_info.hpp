// What a loaded module tells about itself, as zeb-host info prints it.
#pragma once

#include <string>
#include <vector>

#include "host/memory_host.hpp"
#include "host/module_loader.hpp"

namespace zeb::host {

std::string uuid_to_text(const Uuid& id);

struct InterfaceListing {
  std::string kind;  // "attribute", "effector", "plugin"
  int32_t index;
  Uuid id;
  std::string name;  // empty when the module gave none
};

// Every interface the module announces, in the order the application lists them.
std::vector<InterfaceListing> list_interfaces(LoadedModule& module, MemoryHost& host);

}  // namespace zeb::host
