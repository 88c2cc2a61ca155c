// Writing a pixel for set_pixel_rgba. The host reads the four floats with one 16-byte load; when
// they were written as one 16-byte store the load takes them straight from the store buffer,
// whereas after separate float stores it waits for all of them to reach the cache (a failed
// store-to-load forward, a few nanoseconds per pixel, millions of times a pass).
#pragma once

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace zeb {

inline void store_rgba(float* rgba, float red, float green, float blue, float alpha) {
#if defined(__SSE2__)
  _mm_storeu_ps(rgba, _mm_set_ps(alpha, blue, green, red));
#else
  rgba[0] = red;
  rgba[1] = green;
  rgba[2] = blue;
  rgba[3] = alpha;
#endif
}

}  // namespace zeb
