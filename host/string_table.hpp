// The module's string tables (resource type SXUL, name TEXT), one XML document per language:
//   <strings>
//     <string id="product_name" value="zeb camera" />
//   </strings>
#pragma once

#include <map>
#include <string>

namespace zeb::host {

// The table file for a user-interface language: "en" (1033) or "ja" (1041).
std::string string_table_path(const std::string& resource_dir, const std::string& language);

// Reads id -> value. Throws std::runtime_error naming the file when it is missing or malformed.
std::map<std::string, std::string> load_string_table(const std::string& path);

// What the host answers for an id that the table lacks.
std::string missing_string(const std::string& string_id);

}  // namespace zeb::host
