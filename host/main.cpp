// zeb-host: the reference host. It loads zeb_camera.x64.so through its six exports and drives it
// as the application does. The module's message window goes to stdout, one line per message;
// the host's own diagnostics go to stderr. The commands live in host/commands.*; this file only
// wires them to the command line.
#include <CLI/CLI.hpp>
#include <cmath>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <iostream>
#include <optional>
#include <stdexcept>
#include <string>

#include "host/commands.hpp"
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

const char* const IMAGE_FORMATS =
    "Image files: OpenEXR (half or float, RGB or RGBA), Radiance HDR, TIFF, PNG, JPEG and the\n"
    "other formats OpenImageIO knows, chosen by the file extension. Pixels are float RGBA inside\n"
    "the host. Float files (EXR, HDR, float TIFF) carry linear values as they are, unclamped;\n"
    "8- and 16-bit files (PNG, JPEG, integer TIFF) are decoded from sRGB and encoded to sRGB,\n"
    "clamped to 0..1. A missing alpha reads as 1, one channel as grey; other channels are kept\n"
    "and written back where the output format can hold them, and so is the metadata. Outputs\n"
    "are written whole or not at all.";

const char* const SCENE_FILES =
    "Scene files are JSON: a format version, the cameras in order with their names, the active\n"
    "camera's index, and each camera's attribute streams as hexadecimal bytes. Unknown members\n"
    "are kept; scenes are rewritten whole or not at all.";

// A shape option: the name as typed, checked, turned into its number later.
CLI::Option* add_shape(CLI::App& command, std::string& shape) {
  return command.add_option("--shape", shape, "Aperture shape: circle, hexagon or heptagon")
      ->check(CLI::IsMember({"circle", "hexagon", "heptagon"}));
}

CLI::Option* add_f_value(CLI::App& command, std::optional<double>& f_value) {
  return command.add_option("--f-value", f_value, "F-number of the lens, e.g. 5.6")
      ->check(CLI::Validator(
          [](std::string& text) {
            try {
              std::size_t used = 0;
              const double value = std::stod(text, &used);
              if (used == text.size() && std::isfinite(value)) return std::string();
            } catch (const std::exception&) {
            }
            return "not a number: " + text;
          },
          "NUMBER"));
}

void fill_optics(OpticsAnswers& optics, const std::string& shape,
                 const std::optional<double>& f_value) {
  if (!shape.empty()) optics.shape = parse_shape(shape);
  optics.f_value = f_value;
}

}  // namespace

int main(int argc, char** argv) {
  CLI::App app{
      "zeb-host: the reference host for the zeb camera module. It loads the module through its\n"
      "six exports and drives it as the 3D application does. The module's message window goes\n"
      "to stdout, one line per message exactly as sent; zeb-host's own messages go to stderr.\n"
      "Camera indices count from 0."};
  app.require_subcommand(1);
  app.fallthrough();
  GlobalOptions options;
  options.module_path = default_module_path();
  app.add_option("--module", options.module_path, "Path of zeb_camera.x64.so")
      ->capture_default_str();
  app.add_option("--lang", options.language, "User-interface language of the names and dialog")
      ->check(CLI::IsMember({"en", "ja"}))
      ->capture_default_str();

  CLI::App* info = app.add_subcommand(
      "info", "List the module's interfaces: kind, index, identifier and display name");

  ApplyOptions apply;
  std::string apply_shape;
  std::optional<double> apply_f_value;
  std::optional<int32_t> apply_camera;
  CLI::App* apply_cmd = app.add_subcommand(
      "apply", "Run the module's effectors on an image file, as after a rendering");
  apply_cmd->add_option("INPUT", apply.input, "Image to process")->required();
  apply_cmd->add_option("-o,--output", apply.output, "Where to write the result")->required();
  apply_cmd
      ->add_option("--effect", apply.effects,
                   "Effector to run: bloom or tonemap; repeat for several, run in the order "
                   "given (default: bloom, then tonemap)")
      ->check(CLI::IsMember({"bloom", "tonemap"}))
      ->expected(1)
      ->allow_extra_args(false)
      ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
  apply_cmd->add_option("--scene", apply.scene_path,
                        "Scene file to render with (default: one camera without settings); "
                        "saved again when --shape or --f-value change it");
  apply_cmd->add_option("--camera", apply_camera,
                        "Camera that renders (default: the scene's active one); --shape and "
                        "--f-value are stored on it");
  add_shape(*apply_cmd, apply_shape);
  add_f_value(*apply_cmd, apply_f_value);
  apply_cmd->add_flag("--overwrite", apply.overwrite, "Allow OUTPUT to be the INPUT file");
  apply_cmd->footer(std::string("--shape and --f-value are entered in the module's camera options "
                                "dialog before the effectors run.\n") +
                    IMAGE_FORMATS);

  CameraOptionsOptions camera_options;
  std::string options_shape;
  std::optional<double> options_f_value;
  CLI::App* options_cmd = app.add_subcommand(
      "camera-options", "Open the module's camera options dialog on a camera of a scene file");
  options_cmd->add_option("SCENE", camera_options.scene_path, "Scene file")->required();
  options_cmd->add_option("--camera", camera_options.camera,
                          "Camera to edit (default: the scene's active one)");
  CLI::Option* options_shape_opt = add_shape(*options_cmd, options_shape);
  CLI::Option* options_f_opt = add_f_value(*options_cmd, options_f_value);
  CLI::Option* cancel_opt =
      options_cmd->add_flag("--cancel", camera_options.cancel, "Cancel the dialog");
  CLI::Option* interactive_opt = options_cmd->add_flag(
      "--interactive", camera_options.interactive,
      "Show the dialog on the terminal and ask for the answers (prompts on stderr)");
  cancel_opt->excludes(options_shape_opt)->excludes(options_f_opt)->excludes(interactive_opt);
  interactive_opt->excludes(options_shape_opt)->excludes(options_f_opt);
  options_cmd->footer(
      "The dialog opens with the values of the scene's active camera, as the module fills it;\n"
      "what is not given is confirmed as shown. The scene is saved when the dialog is confirmed.");

  std::string delete_scene;
  CLI::App* delete_cmd =
      app.add_subcommand("delete-attributes",
                         "Run the module's command that removes the camera settings from every "
                         "camera of a scene file");
  delete_cmd->add_option("SCENE", delete_scene, "Scene file")->required();

  CLI::App* scene_cmd = app.add_subcommand("scene", "Make or show scene files");
  scene_cmd->require_subcommand(1);
  scene_cmd->footer(SCENE_FILES);
  SceneNewOptions scene_new;
  CLI::App* new_cmd = scene_cmd->add_subcommand("new", "Write a scene of cameras without settings");
  new_cmd->add_option("SCENE", scene_new.path, "Scene file to write")->required();
  new_cmd->add_option("--cameras", scene_new.cameras, "Number of cameras")
      ->check(CLI::Range(0, 10000))
      ->capture_default_str();
  new_cmd->add_option("--active", scene_new.active, "Index of the active camera")
      ->capture_default_str();
  new_cmd->add_flag("--overwrite", scene_new.overwrite, "Replace an existing file");
  std::string show_scene;
  CLI::App* show_cmd =
      scene_cmd->add_subcommand("show", "List the cameras, the active one and their settings");
  show_cmd->add_option("SCENE", show_scene, "Scene file")->required();

  PsfOptions psf;
  std::string psf_shape;
  std::optional<double> psf_f_value;
  CLI::App* psf_cmd = app.add_subcommand(
      "psf",
      "Write the bloom's point spread: one bright pixel at the centre of a black image, "
      "bloomed by the module");
  psf_cmd->add_option("-o,--output", psf.output, "Where to write the picture")->required();
  add_shape(*psf_cmd, psf_shape);
  add_f_value(*psf_cmd, psf_f_value);
  psf_cmd->add_option("--size", psf.size, "Image size WIDTHxHEIGHT; the spread scales with it")
      ->capture_default_str();
  psf_cmd->add_option("--crop", psf.crop, "Write only the centred square of this side (0: all)")
      ->capture_default_str();
  psf_cmd
      ->add_option("--decades", psf.decades, "Range of the logarithmic scale of 8/16-bit pictures")
      ->capture_default_str();
  psf_cmd->footer(
      "Without --shape and --f-value the module's defaults apply (circle, F16). Float outputs\n"
      "(EXR, HDR, TIFF) hold the values as the module made them; 8/16-bit outputs (PNG, JPEG)\n"
      "show 1 + log10(value / peak) / decades, so that faint rings and spikes are visible.");

  DemoOptions demo;
  CLI::App* demo_cmd = app.add_subcommand(
      "demo",
      "Make a synthetic HDR night scene, set a hexagonal F/8 aperture in the dialog, "
      "apply bloom and tonemap, and write the pictures");
  demo_cmd->add_option("-o,--output", demo.dir, "Folder for the pictures")->capture_default_str();
  demo_cmd->footer(
      "Writes input.exr, bloom.exr, bloom_tonemap.png, compare.png (tonemap only | bloom and\n"
      "tonemap, half size) and psf_circle.png, psf_hexagon.png, psf_heptagon.png (F/8).");

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& error) {
    return app.exit(error);
  }

  try {
    if (info->parsed()) return run_info(options);
    if (apply_cmd->parsed()) {
      fill_optics(apply.optics, apply_shape, apply_f_value);
      apply.camera = apply_camera;
      return run_apply(options, apply);
    }
    if (options_cmd->parsed()) {
      fill_optics(camera_options.optics, options_shape, options_f_value);
      return run_camera_options(options, camera_options);
    }
    if (delete_cmd->parsed()) return run_delete_attributes(options, delete_scene);
    if (new_cmd->parsed()) return run_scene_new(scene_new);
    if (show_cmd->parsed()) return run_scene_show(show_scene);
    if (psf_cmd->parsed()) {
      fill_optics(psf.optics, psf_shape, psf_f_value);
      return run_psf(options, psf);
    }
    if (demo_cmd->parsed()) return run_demo(options, demo);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "zeb-host: %s\n", error.what());
    return 1;
  } catch (...) {
    std::fprintf(stderr, "zeb-host: failed for a reason the module did not name\n");
    return 1;
  }
  return 0;
}
