// The module's string tables (resource type SXUL, name TEXT), one XML document per language:
//   <strings>
//     <string id="product_name" value="zeb camera" />
//   </strings>
// Values are kept byte for byte as the UTF-8 text of the document.
#pragma once

#include <map>
#include <string>

namespace zeb::host {

// The table file for a user-interface language: "ja" reads the Japanese table (1041); "en" and
// every other language read the English one (1033).
std::string string_table_path(const std::string& resource_dir, const std::string& language);

// Reads id -> value. Throws std::runtime_error naming the file when it is missing, malformed, has
// no <strings> root, or holds an entry without an id or a value attribute. An entry whose value
// is empty ("comments") is kept as the empty string.
std::map<std::string, std::string> load_string_table(const std::string& path);

// What the host answers for an id that the table lacks: the id itself, so that the missing text
// shows up in the interface under its own name instead of as a blank.
std::string missing_string(const std::string& string_id);

}  // namespace zeb::host
