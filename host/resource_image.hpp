// Decoding of the module's TARGA resources into host images.
#pragma once

#include <memory>
#include <string>

namespace zeb::host {

struct RefLedger;
class MemoryImage;

// Reads the greyscale picture at path into a transient image: the grey level, scaled by 1/255,
// in red, green and blue, alpha 1. Row 0 is the top row of the picture whatever its stored order.
// Throws std::runtime_error naming the file when it is missing or cannot be decoded.
std::unique_ptr<MemoryImage> read_resource_image(RefLedger& ledger, const std::string& path);

}  // namespace zeb::host
