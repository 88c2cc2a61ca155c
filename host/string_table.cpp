#include "host/string_table.hpp"

#include <pugixml.hpp>
#include <stdexcept>

namespace zeb::host {

std::string string_table_path(const std::string& resource_dir, const std::string& language) {
  const char* lcid = language == "ja" ? "1041" : "1033";
  return resource_dir + "/SXUL/TEXT." + lcid + ".xml";
}

std::map<std::string, std::string> load_string_table(const std::string& path) {
  pugi::xml_document document;
  const pugi::xml_parse_result parsed = document.load_file(path.c_str());
  if (!parsed)
    throw std::runtime_error(path + ": cannot read the string table: " + parsed.description() +
                             " (at byte " + std::to_string(parsed.offset) + ")");
  const pugi::xml_node root = document.child("strings");
  if (!root) throw std::runtime_error(path + ": the string table has no <strings> root");
  std::map<std::string, std::string> table;
  for (const pugi::xml_node entry : root.children("string")) {
    const pugi::xml_attribute id = entry.attribute("id");
    const pugi::xml_attribute value = entry.attribute("value");
    if (!id || !value)
      throw std::runtime_error(path + ": a <string> entry at byte " +
                               std::to_string(entry.offset_debug()) + " lacks its " +
                               (id ? "value" : "id") + " attribute");
    table[id.value()] = value.value();
  }
  return table;
}

std::string missing_string(const std::string& string_id) { return string_id; }

}  // namespace zeb::host
