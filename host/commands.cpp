#include "host/commands.hpp"

#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <stdexcept>

#include "host/atomic_file.hpp"
#include "host/demo_scene.hpp"
#include "host/dialog_prompt.hpp"
#include "host/host_session.hpp"

namespace zeb::host {
namespace fs = std::filesystem;
namespace {

constexpr int32_t CAMERA_STREAM_ID = static_cast<int32_t>(0x9F55EACDu);
constexpr const char* SHAPE_NAMES[] = {"circle", "hexagon", "heptagon"};

void note(const std::string& text) { std::fprintf(stderr, "zeb-host: %s\n", text.c_str()); }

std::string float_text(float value) {
  char text[32];
  const auto result = std::to_chars(text, text + sizeof text, value);
  return std::string(text, result.ptr);
}

void refuse_same_file(const std::string& input, const std::string& output, bool overwrite) {
  if (!overwrite && same_file(input, output))
    throw std::runtime_error(output + ": is the input file too; give --overwrite to replace it");
}

// A scene that will be written back must be replaceable: checked before any work is done.
void check_scene_writable(const std::string& path) {
  const fs::path folder =
      fs::path(path).parent_path().empty() ? fs::path(".") : fs::path(path).parent_path();
  if (::access(folder.c_str(), W_OK) != 0)
    throw std::runtime_error(path + ": cannot write the scene: the folder " + folder.string() +
                             " is not writable");
}

int32_t checked_camera(const SceneData& scene, const std::optional<int32_t>& camera,
                       const std::string& origin) {
  const auto count = static_cast<int32_t>(scene.cameras.size());
  const int32_t index = camera.value_or(scene.active_camera);
  if (index < 0 || index >= count)
    throw std::runtime_error(origin + ": no camera " + std::to_string(index) + " (the scene has " +
                             std::to_string(count) + (count == 1 ? " camera)" : " cameras)"));
  return index;
}

DialogScript answers_script(const OpticsAnswers& optics) {
  const int32_t shape = optics.shape.value_or(0);
  const double f_value = optics.f_value.value_or(0.0);
  return confirm_with(optics.shape ? &shape : nullptr, optics.f_value ? &f_value : nullptr);
}

void set_optics(HostSession& session, int32_t camera, const OpticsAnswers& optics) {
  if (!session.edit_camera_options(camera, answers_script(optics)))
    throw std::runtime_error("the camera options dialog stored nothing");
}

MemoryImage& host_image(HostSession& session, ImageFile& file) {
  MemoryImage& image = session.host().make_image(file.width, file.height);
  image.set_pixels(file.rgba);
  // From here on the host image holds the pixels; the file keeps its description only.
  std::vector<float>().swap(file.rgba);
  return image;
}

// Runs the effects in order on image; a pass that reports an "[error] " line stops the chain.
void apply_effects(HostSession& session, MemoryImage& image,
                   const std::vector<std::string>& effects, const std::string& output) {
  for (const std::string& effect : effects) {
    if (!session.apply_effect(effect, image))
      throw std::runtime_error("the " + effect + " effector reported an error; " + output +
                               " not written");
  }
}

void write_image(const std::string& path, const ImageFile& image,
                 const WriteOptions& options = {}) {
  for (const std::string& text : write_image_file(path, image, options)) note(text);
  note("wrote " + path);
}

ImageFile image_from(const MemoryImage& image, const ImageFile& like) {
  ImageFile file = like;
  file.rgba = image.pixels();
  return file;
}

ImageFile downscale_half(const ImageFile& image) {
  ImageFile out = make_image(image.width / 2, image.height / 2);
  for (int32_t y = 0; y < out.height; ++y)
    for (int32_t x = 0; x < out.width; ++x)
      for (int c = 0; c < 4; ++c) {
        float sum = 0;
        for (int dy = 0; dy < 2; ++dy)
          for (int dx = 0; dx < 2; ++dx)
            sum +=
                image.rgba[((static_cast<std::size_t>(2 * y + dy) * image.width) + 2 * x + dx) * 4 +
                           c];
        out.rgba[((static_cast<std::size_t>(y) * out.width) + x) * 4 + c] = sum / 4;
      }
  return out;
}

ImageFile side_by_side(const ImageFile& left, const ImageFile& right, int32_t gap) {
  ImageFile out = make_image(left.width + gap + right.width, std::max(left.height, right.height));
  const auto paste = [&out](const ImageFile& part, int32_t x0) {
    for (int32_t y = 0; y < part.height; ++y)
      std::copy_n(&part.rgba[static_cast<std::size_t>(y) * part.width * 4],
                  static_cast<std::size_t>(part.width) * 4,
                  &out.rgba[(static_cast<std::size_t>(y) * out.width + x0) * 4]);
  };
  paste(left, 0);
  paste(right, left.width + gap);
  return out;
}

// One bright pixel at the centre of a black image, bloomed with the given optics.
ImageFile point_spread(HostSession& session, int32_t width, int32_t height,
                       const OpticsAnswers& optics) {
  if (optics.any()) set_optics(session, 0, optics);
  ImageFile file = make_image(width, height);
  float* centre = &file.rgba[(static_cast<std::size_t>(height / 2) * width + width / 2) * 4];
  centre[0] = centre[1] = centre[2] = 1.0f;
  MemoryImage& image = host_image(session, file);
  apply_effects(session, image, {BLOOM_EFFECT}, "the point-spread picture");
  return image_from(image, file);
}

void write_point_spread(const std::string& path, ImageFile image, int32_t crop, double decades) {
  if (crop > 0) image = crop_centre(image, crop);
  WriteOptions options;
  if (!writes_float(path)) {
    log_scale(image, decades);
    options.display_referred = true;
  }
  write_image(path, image, options);
}

}  // namespace

int32_t parse_shape(const std::string& name) {
  for (int32_t shape = 0; shape < 3; ++shape)
    if (name == SHAPE_NAMES[shape]) return shape;
  throw std::runtime_error("unknown aperture shape \"" + name + "\" (circle, hexagon or heptagon)");
}

const char* shape_name(int32_t shape) {
  return shape >= 0 && shape < 3 ? SHAPE_NAMES[shape] : nullptr;
}

std::pair<int32_t, int32_t> parse_size(const std::string& text) {
  int width = 0, height = 0;
  const char* end = text.data() + text.size();
  const auto first = std::from_chars(text.data(), end, width);
  if (first.ec == std::errc() && first.ptr != end && (*first.ptr == 'x' || *first.ptr == 'X')) {
    const auto second = std::from_chars(first.ptr + 1, end, height);
    if (second.ec == std::errc() && second.ptr == end && width >= 1 && height >= 1 &&
        width <= 65535 && height <= 65535)
      return {width, height};
  }
  throw std::runtime_error("size \"" + text + "\" is not WIDTHxHEIGHT with sides 1 to 65535");
}

void load_scene(const SceneData& data, MemoryScene& scene) {
  for (const SceneCameraData& camera : data.cameras)
    scene.add_camera(camera.name).streams = camera.streams;
  scene.active_index = data.active_camera;
}

void store_scene(MemoryScene& scene, SceneData& data) {
  auto& cameras = scene;
  data.cameras.resize(static_cast<std::size_t>(scene.size()));
  for (int32_t i = 0; i < scene.size(); ++i) {
    data.cameras[static_cast<std::size_t>(i)].name = cameras.camera(i).name;
    data.cameras[static_cast<std::size_t>(i)].streams = cameras.camera(i).streams;
  }
  data.active_camera = scene.active_index;
}

std::string describe_record(const std::vector<uint8_t>* bytes) {
  if (!bytes) return "none";
  if (bytes->size() < 8)
    return "unreadable record (" + std::to_string(bytes->size()) + " bytes, 8 expected)";
  uint32_t words[2];
  for (int w = 0; w < 2; ++w) {
    words[w] = 0;
    for (int i = 3; i >= 0; --i)
      words[w] = (words[w] << 8) | (*bytes)[static_cast<std::size_t>(w * 4 + i)];
  }
  const auto shape = static_cast<int32_t>(words[0]);
  float f_value;
  std::memcpy(&f_value, &words[1], sizeof f_value);
  std::string text =
      shape_name(shape) ? shape_name(shape) : "invalid shape " + std::to_string(shape);
  text += ", F-value " + float_text(f_value);
  if (bytes->size() > 8) text += " (and " + std::to_string(bytes->size() - 8) + " more bytes)";
  return text;
}

void log_scale(ImageFile& image, double decades) {
  float peak = 0;
  for (std::size_t i = 0; i < image.rgba.size(); i += 4)
    peak = std::max({peak, image.rgba[i], image.rgba[i + 1], image.rgba[i + 2]});
  for (std::size_t i = 0; i < image.rgba.size(); i += 4) {
    for (std::size_t c = 0; c < 3; ++c) {
      const float value = image.rgba[i + c];
      const double level = value > 0 && peak > 0 ? 1.0 + std::log10(value / peak) / decades : 0.0;
      image.rgba[i + c] = static_cast<float>(std::clamp(level, 0.0, 1.0));
    }
    image.rgba[i + 3] = 1.0f;
  }
}

ImageFile crop_centre(const ImageFile& image, int32_t side) {
  const int32_t width = std::min(side, image.width), height = std::min(side, image.height);
  const int32_t x0 = image.width / 2 - width / 2, y0 = image.height / 2 - height / 2;
  ImageFile out = make_image(width, height);
  for (int32_t y = 0; y < height; ++y)
    std::copy_n(&image.rgba[(static_cast<std::size_t>(y0 + y) * image.width + x0) * 4],
                static_cast<std::size_t>(width) * 4,
                &out.rgba[static_cast<std::size_t>(y) * width * 4]);
  return out;
}

int run_apply(const GlobalOptions& global, const ApplyOptions& options) {
  refuse_same_file(options.input, options.output, options.overwrite);
  check_writable_image_path(options.output);
  const bool with_scene = !options.scene_path.empty();
  SceneData data = with_scene ? read_scene_file(options.scene_path) : make_scene(1, 0);
  const std::string scene_origin = with_scene ? options.scene_path : "the default scene";
  const int32_t camera = checked_camera(data, options.camera, scene_origin);
  if (with_scene && options.optics.any()) check_scene_writable(options.scene_path);
  ImageFile file = read_image_file(options.input);

  HostSession session(global.module_path, global.language);
  ProgressBar progress(stderr_is_terminal());
  session.set_progress(&progress);
  load_scene(data, session.scene());
  // The camera that renders is the active one for the pass; the scene keeps its own choice.
  session.scene().active_index = camera;
  if (options.optics.any()) set_optics(session, camera, options.optics);

  const std::vector<std::string> effects =
      options.effects.empty() ? std::vector<std::string>{BLOOM_EFFECT, TONEMAP_EFFECT}
                              : options.effects;
  for (const std::string& effect : effects) session.effector_index(effect);
  MemoryImage& image = host_image(session, file);
  apply_effects(session, image, effects, options.output);
  write_image(options.output, image_from(image, file));

  session.scene().active_index = data.active_camera;
  if (with_scene && options.optics.any()) {
    store_scene(session.scene(), data);
    write_scene_file(options.scene_path, data);
  }
  session.check_references();
  return 0;
}

int run_camera_options(const GlobalOptions& global, const CameraOptionsOptions& options) {
  SceneData data = read_scene_file(options.scene_path);
  const int32_t camera = checked_camera(data, options.camera, options.scene_path);
  check_scene_writable(options.scene_path);
  HostSession session(global.module_path, global.language);
  load_scene(data, session.scene());
  DialogScript script = options.cancel        ? cancel_dialog()
                        : options.interactive ? prompt_dialog(std::cin, std::cerr)
                                              : answers_script(options.optics);
  if (!session.edit_camera_options(camera, std::move(script))) {
    note("cancelled; " + options.scene_path + " unchanged");
    session.check_references();
    return 0;
  }
  store_scene(session.scene(), data);
  write_scene_file(options.scene_path, data);
  session.check_references();
  return 0;
}

int run_delete_attributes(const GlobalOptions& global, const std::string& scene_path) {
  SceneData data = read_scene_file(scene_path);
  check_scene_writable(scene_path);
  HostSession session(global.module_path, global.language);
  load_scene(data, session.scene());
  session.run_delete_command();
  store_scene(session.scene(), data);
  write_scene_file(scene_path, data);
  session.check_references();
  return 0;
}

int run_scene_new(const SceneNewOptions& options) {
  if (options.cameras < 0) throw std::runtime_error("--cameras must not be negative");
  if (options.cameras == 0 ? options.active != 0
                           : options.active < 0 || options.active >= options.cameras)
    throw std::runtime_error("--active " + std::to_string(options.active) + " names no camera of " +
                             std::to_string(options.cameras));
  std::error_code error;
  if (!options.overwrite && fs::exists(options.path, error))
    throw std::runtime_error(options.path + ": exists already; give --overwrite to replace it");
  check_scene_writable(options.path);
  write_scene_file(options.path, make_scene(options.cameras, options.active));
  return 0;
}

int run_scene_show(const std::string& path) {
  const SceneData data = read_scene_file(path);
  std::printf("%s: %zu %s, active camera %d\n", path.c_str(), data.cameras.size(),
              data.cameras.size() == 1 ? "camera" : "cameras", data.active_camera);
  for (std::size_t i = 0; i < data.cameras.size(); ++i) {
    const SceneCameraData& camera = data.cameras[i];
    const auto record = camera.streams.find(CAMERA_STREAM_ID);
    std::printf(
        "  %zu%s %s: %s\n", i, static_cast<int32_t>(i) == data.active_camera ? "*" : " ",
        camera.name.c_str(),
        describe_record(record == camera.streams.end() ? nullptr : &record->second).c_str());
    for (const auto& [id, bytes] : camera.streams) {
      if (id != CAMERA_STREAM_ID)
        std::printf("      stream %s: %zu bytes\n", stream_id_text(id).c_str(), bytes.size());
    }
  }
  return 0;
}

int run_psf(const GlobalOptions& global, const PsfOptions& options) {
  const auto [width, height] = parse_size(options.size);
  if (options.crop < 0) throw std::runtime_error("--crop must not be negative");
  if (!(options.decades > 0) || !std::isfinite(options.decades))
    throw std::runtime_error("--decades must be a positive number");
  check_writable_image_path(options.output);
  HostSession session(global.module_path, global.language);
  ProgressBar progress(stderr_is_terminal());
  session.set_progress(&progress);
  session.scene().add_camera("camera 1");
  write_point_spread(options.output, point_spread(session, width, height, options.optics),
                     options.crop, options.decades);
  session.check_references();
  return 0;
}

int run_demo(const GlobalOptions& global, const DemoOptions& options) {
  constexpr int32_t WIDTH = 1920, HEIGHT = 1080;
  constexpr double F_VALUE = 8.0;
  std::error_code error;
  fs::create_directories(options.dir, error);
  if (!fs::is_directory(options.dir, error))
    throw std::runtime_error(options.dir + ": cannot make the folder");
  const auto path = [&options](const char* name) {
    return (fs::path(options.dir) / name).string();
  };

  HostSession session(global.module_path, global.language);
  ProgressBar progress(stderr_is_terminal());
  session.set_progress(&progress);
  session.scene().add_camera("camera 1");
  OpticsAnswers optics;
  optics.shape = 1;
  optics.f_value = F_VALUE;
  set_optics(session, 0, optics);

  note("making the night scene, " + std::to_string(WIDTH) + "x" + std::to_string(HEIGHT));
  ImageFile scene = make_night_scene(WIDTH, HEIGHT);
  write_image(path("input.exr"), scene);

  ImageFile plain = scene;
  MemoryImage& bloomed = host_image(session, scene);
  apply_effects(session, bloomed, {BLOOM_EFFECT}, path("bloom.exr"));
  write_image(path("bloom.exr"), image_from(bloomed, plain));
  apply_effects(session, bloomed, {TONEMAP_EFFECT}, path("bloom_tonemap.png"));
  const ImageFile with_bloom = image_from(bloomed, plain);
  write_image(path("bloom_tonemap.png"), with_bloom);

  MemoryImage& tonemapped = host_image(session, plain);
  apply_effects(session, tonemapped, {TONEMAP_EFFECT}, path("compare.png"));
  write_image(path("compare.png"), side_by_side(downscale_half(image_from(tonemapped, with_bloom)),
                                                downscale_half(with_bloom), 4));

  // The pictures of the point spread at the scene's pixel pitch: the kernel depends on the
  // image's smaller side only, so a square of that side gives the same one.
  for (int32_t shape = 0; shape < 3; ++shape) {
    OpticsAnswers psf_optics;
    psf_optics.shape = shape;
    psf_optics.f_value = F_VALUE;
    const std::string name = std::string("psf_") + SHAPE_NAMES[shape] + ".png";
    write_point_spread(path(name.c_str()), point_spread(session, HEIGHT, HEIGHT, psf_optics), 256,
                       6.0);
  }
  session.check_references();
  return 0;
}

}  // namespace zeb::host
