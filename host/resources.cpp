#include "host/resources.hpp"

#include <filesystem>
#include <stdexcept>

#include "host/memory_host.hpp"
#include "host/resource_image.hpp"
#include "host/string_table.hpp"

namespace zeb::host {

std::string resource_dir_for_module(const std::string& module_path) {
  return (std::filesystem::path(module_path).parent_path() / "resources").string();
}

MemoryResources::MemoryResources(RefLedger& ledger, ResourceSettings settings)
    : ledger_(ledger), settings_(std::move(settings)) {}

const char* MemoryResources::get_localized_string(const char* string_id) {
  ++string_requests;
  if (!strings_loaded_) {
    strings_ = load_string_table(string_table_path(settings_.resource_dir, settings_.language));
    strings_loaded_ = true;
  }
  auto found = strings_.find(string_id);
  if (found == strings_.end()) found = strings_.emplace(string_id, missing_string(string_id)).first;
  return found->second.c_str();
}

HostImage* MemoryResources::load_resource_image(const char* resource_name) {
  if (journal) journal->push_back(std::string("load_resource_image ") + resource_name);
  const std::string path = settings_.resource_dir + "/TARGA/" + resource_name + ".tga";
  std::unique_ptr<MemoryImage> image = read_resource_image(ledger_, path);
  image->label = std::string("aperture ") + resource_name;
  image->journal = journal;
  image->AddRef();
  return image.release();
}

}  // namespace zeb::host
