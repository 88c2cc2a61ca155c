// Loads a plug-in module the way the application does: dlopen, then the six exports by name.
#pragma once

#include <string>

#include "plugin/exports.hpp"

namespace zeb::host {

class LoadedModule {
 public:
  // Throws std::runtime_error naming the path and the reason (dlerror, or the missing export).
  explicit LoadedModule(const std::string& path);
  ~LoadedModule();
  LoadedModule(const LoadedModule&) = delete;
  LoadedModule& operator=(const LoadedModule&) = delete;

  const std::string& path() const { return path_; }

  has_interface_fn has_interface = nullptr;
  get_uuid_fn get_uuid = nullptr;
  get_name_fn get_name = nullptr;
  create_interface_fn create_interface = nullptr;
  get_info_fn get_info = nullptr;
  is_resident_fn is_resident = nullptr;

 private:
  std::string path_;
  void* handle_ = nullptr;
};

}  // namespace zeb::host
