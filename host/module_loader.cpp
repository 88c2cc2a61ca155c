#include "host/module_loader.hpp"

#include <dlfcn.h>

#include <stdexcept>

namespace zeb::host {
namespace {

template <class Fn>
void resolve(void* handle, const std::string& path, const char* name, Fn& fn) {
  dlerror();
  void* symbol = dlsym(handle, name);
  if (!symbol) {
    const char* reason = dlerror();
    throw std::runtime_error(path + ": the module does not export " + name +
                             (reason ? std::string(" (") + reason + ")" : std::string()));
  }
  fn = reinterpret_cast<Fn>(symbol);
}

}  // namespace

LoadedModule::LoadedModule(const std::string& path) : path_(path) {
  handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle_) {
    const char* reason = dlerror();
    throw std::runtime_error(path +
                             ": cannot load the module: " + (reason ? reason : "unknown reason"));
  }
  try {
    resolve(handle_, path, "has_interface", has_interface);
    resolve(handle_, path, "get_uuid", get_uuid);
    resolve(handle_, path, "get_name", get_name);
    resolve(handle_, path, "create_interface", create_interface);
    resolve(handle_, path, "get_info", get_info);
    resolve(handle_, path, "is_resident", is_resident);
  } catch (...) {
    dlclose(handle_);
    throw;
  }
}

LoadedModule::~LoadedModule() {
  if (handle_) dlclose(handle_);
}

}  // namespace zeb::host
