// The module version: one set of constants for get_info, the log banners and the version block.
// The build reads these lines to write the version resource, so keep their form.
#pragma once

#include <cstdint>

namespace zeb {

constexpr int32_t SDK_BUILD = 463042;
constexpr int32_t HOST_BUILD = 460000;
constexpr int32_t VERSION_MAJOR = 1;
constexpr int32_t VERSION_MINOR = 0;
constexpr int32_t VERSION_MICRO = 0;
constexpr int32_t VERSION_BUILD = 1;

}  // namespace zeb
