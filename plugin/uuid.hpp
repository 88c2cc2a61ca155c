// The module's 128-bit identifier: four 32-bit words in the machine's byte order. Unlike a GUID,
// the second and third text groups form one word, and so do the fourth and the head of the fifth.
#pragma once

#include <cstdint>

struct Uuid {
  uint32_t w0 = 0, w1 = 0, w2 = 0, w3 = 0;

  bool is_null() const { return (w0 | w1 | w2 | w3) == 0; }
  friend bool operator==(const Uuid& a, const Uuid& b) {
    return a.w0 == b.w0 && a.w1 == b.w1 && a.w2 == b.w2 && a.w3 == b.w3;
  }
  friend bool operator!=(const Uuid& a, const Uuid& b) { return !(a == b); }
};
static_assert(sizeof(Uuid) == 16, "Uuid is 16 bytes");

namespace zeb {

// Parses the 36-character text form ("49F15F20-D77C-4352-830E-F7E208BC7BCE"). A character that is
// no hexadecimal digit counts as 0 and the separators are not examined: every caller passes one of
// the module's fixed texts, so there is nothing to report.
Uuid uuid_from_text(const char* text);

}  // namespace zeb
