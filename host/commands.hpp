// The zeb-host commands behind the command line: each takes its parsed options, reports its
// result on stdout and its problems as std::runtime_error (one line naming the file and the
// problem), and leaves every file it was given unchanged when it fails.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "host/image_file.hpp"
#include "host/memory_host.hpp"
#include "host/scene_file.hpp"

namespace zeb::host {

struct GlobalOptions {
  std::string module_path;
  std::string language = "en";
};

// Answers given to the camera options dialog; what is not given is left as the dialog shows it.
struct OpticsAnswers {
  std::optional<int32_t> shape;  // 0 circle, 1 hexagon, 2 heptagon
  std::optional<double> f_value;
  bool any() const { return shape || f_value; }
};

// "circle", "hexagon", "heptagon" -> 0, 1, 2; throws std::runtime_error otherwise.
int32_t parse_shape(const std::string& name);
const char* shape_name(int32_t shape);  // "circle", ...; null outside 0..2
// "WxH" with both sides 1..65535; throws std::runtime_error otherwise.
std::pair<int32_t, int32_t> parse_size(const std::string& text);

struct ApplyOptions {
  std::string input;
  std::string output;
  std::vector<std::string> effects;  // in order; empty: bloom, then tonemap
  std::string scene_path;            // empty: a scene of one camera, not saved
  std::optional<int32_t> camera;     // the camera that renders; default the scene's active one
  OpticsAnswers optics;
  bool overwrite = false;
};
int run_apply(const GlobalOptions& global, const ApplyOptions& options);

struct CameraOptionsOptions {
  std::string scene_path;
  std::optional<int32_t> camera;
  OpticsAnswers optics;
  bool cancel = false;
  bool interactive = false;
};
int run_camera_options(const GlobalOptions& global, const CameraOptionsOptions& options);

int run_delete_attributes(const GlobalOptions& global, const std::string& scene_path);

struct SceneNewOptions {
  std::string path;
  int32_t cameras = 1;
  int32_t active = 0;
  bool overwrite = false;
};
int run_scene_new(const SceneNewOptions& options);
int run_scene_show(const std::string& path);

struct PsfOptions {
  std::string output;
  OpticsAnswers optics;
  std::string size = "512x512";
  int32_t crop = 0;      // side of the centred square written; 0 writes the whole image
  double decades = 6.0;  // range of the logarithmic scale of 8/16-bit pictures
  bool overwrite = false;
};
int run_psf(const GlobalOptions& global, const PsfOptions& options);

struct DemoOptions {
  std::string dir = "zeb-demo";
};
int run_demo(const GlobalOptions& global, const DemoOptions& options);

// Helpers shared with the tests.
void load_scene(const SceneData& data, MemoryScene& scene);
void store_scene(MemoryScene& scene, SceneData& data);
// The camera record as scene show prints it: "hexagon, F-value 5.6", "none", or what is wrong.
std::string describe_record(const std::vector<uint8_t>* bytes);
// The log-scaled picture of a point-spread image: per channel 1 + log10(v / peak) / decades,
// clamped to 0..1, the peak taken over all three channels.
void log_scale(ImageFile& image, double decades);
ImageFile crop_centre(const ImageFile& image, int32_t side);

}  // namespace zeb::host
