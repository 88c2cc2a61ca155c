// A synthetic HDR night scene for the demo: a dim sky and street, buildings with lit windows,
// a moon, neon signs, street lamps, head- and tail-lights and distant city lights, with the
// light sources far above 1 so that the bloom has something to spread. The same picture on every
// machine: the pseudo-random placement uses its own generator and plain arithmetic only.
#pragma once

#include <cstdint>

#include "host/image_file.hpp"

namespace zeb::host {

ImageFile make_night_scene(int32_t width, int32_t height);

}  // namespace zeb::host
