// The reference host's scene file: a JSON document holding the cameras of one scene, which of
// them is active, and each camera's attribute streams exactly as the in-memory host keeps them
// (bytes in the host's encoding: an int32 as 4 little-endian bytes, a float as its IEEE-754 bits
// in 4 little-endian bytes, in the order written).
//
//   {
//     "format": "zeb-host scene",
//     "version": 1,
//     "active_camera": 0,
//     "cameras": [
//       {"name": "camera 1", "streams": {"9F55EACD": "010000003333b340"}}
//     ]
//   }
//
// Stream ids are 8 hexadecimal digits (the id as an unsigned 32-bit number), stream bytes are a
// hexadecimal string. Members this version does not know, at the top and in each camera, are
// kept and written back as they were, so that a newer tool's additions survive a round trip
// through an older one; a file of a newer format version is refused instead, because its known
// members may have changed meaning.
#pragma once

#include <cstdint>
#include <map>
#include <nlohmann/json.hpp>
#include <stdexcept>
#include <string>
#include <vector>

namespace zeb::host {

constexpr int SCENE_FORMAT_VERSION = 1;
inline constexpr const char* SCENE_FORMAT_NAME = "zeb-host scene";

struct SceneFileError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

struct SceneCameraData {
  std::string name;
  std::map<int32_t, std::vector<uint8_t>> streams;
  nlohmann::ordered_json extra = nlohmann::ordered_json::object();  // unknown members
};

struct SceneData {
  int32_t active_camera = 0;
  std::vector<SceneCameraData> cameras;
  nlohmann::ordered_json extra = nlohmann::ordered_json::object();  // unknown members
};

// A scene of count cameras named "camera 1", "camera 2", ..., without streams.
SceneData make_scene(int32_t count, int32_t active);

// Parses a scene document; origin (usually the file name) starts every error message. Throws
// SceneFileError for malformed JSON, a document that is no scene, a newer format version, or a
// member of the wrong type or range.
SceneData parse_scene(const std::string& text, const std::string& origin);
// The document for a scene, ending in a newline.
std::string format_scene(const SceneData& scene);

// Throws SceneFileError (or std::runtime_error for an unreadable file) naming the file.
SceneData read_scene_file(const std::string& path);
// Written whole or not at all; the previous file stays if writing fails.
void write_scene_file(const std::string& path, const SceneData& scene);

std::string stream_id_text(int32_t id);  // "9F55EACD"
std::string bytes_to_hex(const std::vector<uint8_t>& bytes);

}  // namespace zeb::host
