// Shared by the tests that drive the built module: loaded once, as the host loads it, and a holder
// for the interface objects it creates.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/memory_host.hpp"
#include "host/module_loader.hpp"
#include "host/resources.hpp"
#include "plugin/identifiers.hpp"
#include "sxsdk/plugin_interface.hpp"

namespace zeb::testing {

inline host::LoadedModule& loaded_module() {
  static host::LoadedModule module(ZEB_MODULE_PATH);
  return module;
}

inline host::ResourceSettings module_resources(const std::string& language = "en") {
  return {host::resource_dir_for_module(ZEB_MODULE_PATH), language};
}

// One object created by the loaded module's create_interface, released when the holder goes.
class ModuleObject {
 public:
  ModuleObject(const InterfaceKindId& kind, int32_t index, HostServices& host) {
    loaded_module().create_interface(&kind, index, &object_, &host, nullptr);
  }
  ~ModuleObject() {
    if (object_) object_->Release();
  }
  ModuleObject(const ModuleObject&) = delete;
  ModuleObject& operator=(const ModuleObject&) = delete;

  sxsdk::plugin_interface* get() const { return object_; }
  sxsdk::attribute_interface* attribute() const {
    return static_cast<sxsdk::attribute_interface*>(object_);
  }

 private:
  sxsdk::plugin_interface* object_ = nullptr;
};

// Every reference handed out since the baseline was given back, and none twice.
inline void expect_references_returned(const host::RefLedger& ledger, int64_t baseline) {
  EXPECT_EQ(ledger.outstanding(), baseline);
  EXPECT_EQ(ledger.over_releases, 0);
}

}  // namespace zeb::testing
