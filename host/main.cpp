// zeb-host: the reference host. It loads zeb_camera.x64.so through its six exports and drives it
// as the application does. The module's message window goes to stdout, one line per message;
// the host's own diagnostics go to stderr.
#include <CLI/CLI.hpp>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <iostream>
#include <stdexcept>
#include <string>

#include "host/memory_host.hpp"
#include "host/module_info.hpp"
#include "host/module_loader.hpp"
#include "host/version_block.hpp"

namespace {

using namespace zeb::host;

std::string default_module_path() {
  std::error_code error;
  const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
  const std::filesystem::path dir = error ? std::filesystem::current_path() : exe.parent_path();
  for (const std::filesystem::path& candidate :
       {dir / "zeb_camera.x64.so", dir / ".." / "lib" / "zeb-camera" / "zeb_camera.x64.so"}) {
    if (std::filesystem::exists(candidate)) return candidate.string();
  }
  return (dir / "zeb_camera.x64.so").string();
}

struct GlobalOptions {
  std::string module_path = default_module_path();
  std::string language = "en";
};

int run_info(const GlobalOptions& options) {
  LoadedModule module(options.module_path);
  MemoryHost host({resource_dir_for_module(options.module_path), options.language});
  ModuleInfo info{};
  module.get_info(&info, &host, nullptr);
  std::printf("module: %s\n", module.path().c_str());
  std::printf("version: %d.%d.%d build %d (sdk build %d, host build %d)\n", info.major_version,
              info.minor_version, info.micro_version, info.build_number, info.sdk_build,
              info.host_build);
  std::printf("resident: %s\n", module.is_resident(nullptr, 0, &host) ? "yes" : "no");
  // A module without its version block still lists its interfaces; the gap is reported.
  try {
    const VersionBlock block =
        read_version_block(version_block_path(resource_dir_for_module(options.module_path)));
    std::printf("version block:\n");
    for (const auto& [key, value] : block) std::printf("  %s: %s\n", key.c_str(), value.c_str());
  } catch (const std::runtime_error& error) {
    std::printf("version block: none\n");
    std::fprintf(stderr, "zeb-host: %s\n", error.what());
  }
  std::printf("interfaces:\n");
  for (const InterfaceListing& entry : list_interfaces(module, host)) {
    std::printf("  %-9s %d  %s  %s\n", entry.kind.c_str(), entry.index,
                uuid_to_text(entry.id).c_str(), entry.name.c_str());
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  CLI::App app{
      "zeb-host: the reference host for the zeb camera module. It loads the module through its\n"
      "six exports and drives it as the 3D application does."};
  app.require_subcommand(1);
  GlobalOptions options;
  app.add_option("--module", options.module_path, "Path of zeb_camera.x64.so")
      ->capture_default_str();
  app.add_option("--lang", options.language, "User-interface language of the names and dialog")
      ->check(CLI::IsMember({"en", "ja"}))
      ->capture_default_str();

  CLI::App* info = app.add_subcommand(
      "info", "List the module's interfaces: kind, index, identifier and display name");

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& error) {
    return app.exit(error);
  }

  try {
    if (info->parsed()) return run_info(options);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "zeb-host: %s\n", error.what());
    return 1;
  }
  return 0;
}
