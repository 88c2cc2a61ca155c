// The module's resources as the reference host finds them: beside the module, one folder per
// resource type, one file per resource name:
//   <module dir>/resources/SXUL/TEXT.1033.xml    English string table
//   <module dir>/resources/SXUL/TEXT.1041.xml    Japanese string table
//   <module dir>/resources/TARGA/IMG_CIRCLE.tga  aperture pictures, IMG_HEXAGON, IMG_HEPTAGON
#pragma once

#include <map>
#include <string>
#include <vector>

#include "plugin/host.hpp"

namespace zeb::host {

struct RefLedger;

struct ResourceSettings {
  std::string resource_dir;     // the "resources" folder; empty: no resources at all
  std::string language = "en";  // "en" or "ja": the user-interface language
};

// The folder holding the resources of the module at module_path.
std::string resource_dir_for_module(const std::string& module_path);

class MemoryResources : public ModuleResources {
 public:
  MemoryResources(RefLedger& ledger, ResourceSettings settings);
  virtual ~MemoryResources() = default;

  const char* get_localized_string(const char* string_id) override;
  // Throws std::runtime_error naming the resource when it is missing or unreadable.
  HostImage* load_resource_image(const char* resource_name) override;

  const ResourceSettings& settings() const { return settings_; }
  int64_t string_requests = 0;
  // Where image loads are recorded ("load_resource_image <name>"), and the loaded images their
  // releases; null records nothing.
  std::vector<std::string>* journal = nullptr;

 private:
  RefLedger& ledger_;
  ResourceSettings settings_;
  bool strings_loaded_ = false;
  std::map<std::string, std::string> strings_;
};

}  // namespace zeb::host
