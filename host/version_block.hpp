// The module's version block (resource VERSION, name VS_VERSION_INFO) as the reference host finds
// it beside the module: <resource dir>/VERSION/VS_VERSION_INFO.txt, one item per line as
// key=value. Lines starting with "#" and empty lines are skipped; a value runs to the end of its
// line exactly as written, blanks included.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace zeb::host {

using VersionBlock = std::vector<std::pair<std::string, std::string>>;  // in file order

std::string version_block_path(const std::string& resource_dir);

// Throws std::runtime_error naming the file (and the line) when it is missing or a line is not
// key=value.
VersionBlock read_version_block(const std::string& path);

// The value of key, or null when the block has no such item.
const std::string* find_version_item(const VersionBlock& block, const std::string& key);

}  // namespace zeb::host
