#include "host/version_block.hpp"

#include <fstream>
#include <stdexcept>

namespace zeb::host {

std::string version_block_path(const std::string& resource_dir) {
  return resource_dir + "/VERSION/VS_VERSION_INFO.txt";
}

VersionBlock read_version_block(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) throw std::runtime_error(path + ": cannot open the version block");
  VersionBlock block;
  std::string line;
  for (int number = 1; std::getline(file, line); ++number) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == '#') continue;
    const std::size_t equals = line.find('=');
    if (equals == 0 || equals == std::string::npos)
      throw std::runtime_error(path + ":" + std::to_string(number) +
                               ": expected key=value in the version block, got \"" + line + "\"");
    block.emplace_back(line.substr(0, equals), line.substr(equals + 1));
  }
  if (file.bad()) throw std::runtime_error(path + ": cannot read the version block");
  return block;
}

const std::string* find_version_item(const VersionBlock& block, const std::string& key) {
  for (const auto& item : block)
    if (item.first == key) return &item.second;
  return nullptr;
}

}  // namespace zeb::host
