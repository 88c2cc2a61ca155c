#include "host/resource_image.hpp"

#include <OpenImageIO/imageio.h>

#include <stdexcept>
#include <vector>

#include "host/memory_host.hpp"

namespace zeb::host {

std::unique_ptr<MemoryImage> read_resource_image(RefLedger& ledger, const std::string& path) {
  auto input = OIIO::ImageInput::open(path);
  if (!input) {
    throw std::runtime_error(path + ": cannot read the resource image: " + OIIO::geterror());
  }
  const OIIO::ImageSpec& header = input->spec();
  // A file that only claims to be a picture (a volume, deep data, no pixels at all) would not fit
  // the buffer below.
  if (header.width < 1 || header.height < 1 || header.depth > 1 || header.deep) {
    throw std::runtime_error(path + ": not a flat picture with pixels");
  }
  std::vector<float> grey(static_cast<std::size_t>(header.width) *
                          static_cast<std::size_t>(header.height));
  if (header.nchannels < 1 || !input->read_image(0, 0, 0, 1, OIIO::TypeDesc::FLOAT, grey.data())) {
    throw std::runtime_error(path + ": cannot decode the resource image: " + input->geterror());
  }
  auto image = std::make_unique<MemoryImage>(ledger, header.width, header.height, true);
  const float* in = grey.data();
  for (int32_t y = 0; y < header.height; ++y) {
    float* out = image->pixel(0, y);
    for (int32_t x = 0; x < header.width; ++x, ++in, out += 4) {
      out[0] = out[1] = out[2] = *in;
      out[3] = 1.0f;
    }
  }
  return image;
}

}  // namespace zeb::host
