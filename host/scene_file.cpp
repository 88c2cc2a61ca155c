#include "host/scene_file.hpp"

#include <cstdio>

#include "host/atomic_file.hpp"

namespace zeb::host {
namespace {

using json = nlohmann::ordered_json;

[[noreturn]] void fail(const std::string& origin, const std::string& problem) {
  throw SceneFileError(origin + ": " + problem);
}

int hex_digit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// nlohmann's messages start with "[json.exception.parse_error.101] "; the tag helps no user.
std::string plain_json_message(const std::exception& error) {
  std::string what = error.what();
  if (!what.empty() && what[0] == '[') {
    const std::size_t end = what.find("] ");
    if (end != std::string::npos) what.erase(0, end + 2);
  }
  return what;
}

int32_t read_index(const json& document, const char* key, const std::string& origin) {
  const auto found = document.find(key);
  if (found == document.end()) fail(origin, std::string("no \"") + key + "\" member");
  if (!found->is_number_integer())
    fail(origin, std::string("\"") + key + "\" is not a whole number");
  if (found->is_number_unsigned() && found->get<uint64_t>() > uint64_t{INT32_MAX})
    fail(origin, std::string("\"") + key + "\" is out of range");
  const auto value = found->get<int64_t>();
  if (value < INT32_MIN || value > INT32_MAX)
    fail(origin, std::string("\"") + key + "\" is out of range");
  return static_cast<int32_t>(value);
}

int32_t parse_stream_id(const std::string& text, const std::string& where) {
  if (text.empty() || text.size() > 8)
    fail(where, "stream id \"" + text + "\" is not a hexadecimal number of up to 8 digits");
  uint32_t id = 0;
  for (const char c : text) {
    const int digit = hex_digit(c);
    if (digit < 0)
      fail(where, "stream id \"" + text + "\" is not a hexadecimal number of up to 8 digits");
    id = (id << 4) | static_cast<uint32_t>(digit);
  }
  return static_cast<int32_t>(id);
}

std::vector<uint8_t> parse_hex_bytes(const std::string& text, const std::string& where) {
  if (text.size() % 2 != 0) fail(where, "odd number of hex digits");
  std::vector<uint8_t> bytes;
  bytes.reserve(text.size() / 2);
  for (std::size_t i = 0; i < text.size(); i += 2) {
    const int high = hex_digit(text[i]), low = hex_digit(text[i + 1]);
    if (high < 0 || low < 0) fail(where, "not a hex string");
    bytes.push_back(static_cast<uint8_t>(high * 16 + low));
  }
  return bytes;
}

SceneCameraData parse_camera(const json& node, std::size_t index, const std::string& origin) {
  const std::string where = origin + ": camera " + std::to_string(index);
  if (!node.is_object()) fail(where, "is not an object");
  SceneCameraData camera;
  camera.name = "camera " + std::to_string(index + 1);
  for (const auto& [key, value] : node.items()) {
    if (key == "name") {
      if (!value.is_string()) fail(where, "\"name\" is not a string");
      camera.name = value.get<std::string>();
    } else if (key == "streams") {
      if (!value.is_object()) fail(where, "\"streams\" is not an object");
      for (const auto& [id_text, bytes] : value.items()) {
        const std::string stream_where = where + ": stream " + id_text;
        const int32_t id = parse_stream_id(id_text, where);
        if (!bytes.is_string()) fail(stream_where, "bytes are not a hex string");
        if (!camera.streams.emplace(id, parse_hex_bytes(bytes.get<std::string>(), stream_where))
                 .second)
          fail(where, "stream " + stream_id_text(id) + " is given twice");
      }
    } else {
      camera.extra[key] = value;
    }
  }
  return camera;
}

}  // namespace

std::string stream_id_text(int32_t id) {
  char text[9];
  std::snprintf(text, sizeof text, "%08X", static_cast<unsigned>(static_cast<uint32_t>(id)));
  return text;
}

std::string bytes_to_hex(const std::vector<uint8_t>& bytes) {
  static const char DIGITS[] = "0123456789abcdef";
  std::string text;
  text.reserve(bytes.size() * 2);
  for (const uint8_t byte : bytes) {
    text.push_back(DIGITS[byte >> 4]);
    text.push_back(DIGITS[byte & 15]);
  }
  return text;
}

SceneData make_scene(int32_t count, int32_t active) {
  SceneData scene;
  scene.active_camera = active;
  for (int32_t i = 0; i < count; ++i)
    scene.cameras.push_back({"camera " + std::to_string(i + 1), {}, json::object()});
  return scene;
}

SceneData parse_scene(const std::string& text, const std::string& origin) {
  json document;
  try {
    document = json::parse(text);
  } catch (const json::exception& error) {
    fail(origin, "not a valid JSON document: " + plain_json_message(error));
  }
  if (!document.is_object()) fail(origin, "not a zeb-host scene (the document is no object)");
  const auto format = document.find("format");
  if (format == document.end() || !format->is_string() ||
      format->get<std::string>() != SCENE_FORMAT_NAME)
    fail(origin,
         std::string("not a zeb-host scene (no \"format\": \"") + SCENE_FORMAT_NAME + "\")");
  const int32_t version = read_index(document, "version", origin);
  if (version < 1) fail(origin, "format version " + std::to_string(version) + " is not valid");
  if (version > SCENE_FORMAT_VERSION)
    fail(origin, "written in scene format version " + std::to_string(version) +
                     "; this zeb-host reads up to version " + std::to_string(SCENE_FORMAT_VERSION) +
                     ", use a newer one");

  SceneData scene;
  scene.active_camera = read_index(document, "active_camera", origin);
  const auto cameras = document.find("cameras");
  if (cameras == document.end()) fail(origin, "no \"cameras\" member");
  if (!cameras->is_array()) fail(origin, "\"cameras\" is not a list");
  if (cameras->size() > static_cast<std::size_t>(INT32_MAX)) fail(origin, "too many cameras");
  for (std::size_t i = 0; i < cameras->size(); ++i)
    scene.cameras.push_back(parse_camera((*cameras)[i], i, origin));
  const auto count = static_cast<int32_t>(scene.cameras.size());
  if (count == 0 ? scene.active_camera != 0
                 : scene.active_camera < 0 || scene.active_camera >= count)
    fail(origin, "active camera " + std::to_string(scene.active_camera) +
                     " does not exist (the scene has " + std::to_string(count) + " cameras)");

  for (const auto& [key, value] : document.items()) {
    if (key != "format" && key != "version" && key != "active_camera" && key != "cameras")
      scene.extra[key] = value;
  }
  return scene;
}

std::string format_scene(const SceneData& scene) {
  json document = json::object();
  document["format"] = SCENE_FORMAT_NAME;
  document["version"] = SCENE_FORMAT_VERSION;
  document["active_camera"] = scene.active_camera;
  json cameras = json::array();
  for (const SceneCameraData& camera : scene.cameras) {
    json node = json::object();
    node["name"] = camera.name;
    json streams = json::object();
    for (const auto& [id, bytes] : camera.streams)
      streams[stream_id_text(id)] = bytes_to_hex(bytes);
    node["streams"] = std::move(streams);
    for (const auto& [key, value] : camera.extra.items()) node[key] = value;
    cameras.push_back(std::move(node));
  }
  document["cameras"] = std::move(cameras);
  for (const auto& [key, value] : scene.extra.items()) document[key] = value;
  // Invalid UTF-8 in a name read from a hand-edited file is written back replaced, not refused.
  return document.dump(2, ' ', false, json::error_handler_t::replace) + "\n";
}

SceneData read_scene_file(const std::string& path) {
  return parse_scene(read_whole_file(path), path);
}

void write_scene_file(const std::string& path, const SceneData& scene) {
  write_file_atomically(path, format_scene(scene));
}

}  // namespace zeb::host
