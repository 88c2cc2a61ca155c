// libFuzzer target for the scene-file reader. Any input either parses or is refused with a
// SceneFileError; whatever parses writes back to a document that reads as the same scene.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "host/scene_file.hpp"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  zeb::host::SceneData scene;
  try {
    scene = zeb::host::parse_scene(text, "fuzz.json");
  } catch (const zeb::host::SceneFileError&) {
    return 0;
  }
  const std::string written = zeb::host::format_scene(scene);
  std::string again;
  try {
    again = zeb::host::format_scene(zeb::host::parse_scene(written, "written.json"));
  } catch (const zeb::host::SceneFileError&) {
    std::abort();  // the host refuses what it wrote itself
  }
  if (again != written) std::abort();  // a round trip changed the scene
  return 0;
}
