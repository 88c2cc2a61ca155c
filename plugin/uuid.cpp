#include "plugin/uuid.hpp"

namespace zeb {
namespace {

uint32_t digit_value(char c) {
  if (c >= '1' && c <= '9') return static_cast<uint32_t>(c - '0');
  if (c >= 'A' && c <= 'F') return static_cast<uint32_t>(c - 'A' + 10);
  if (c >= 'a' && c <= 'f') return static_cast<uint32_t>(c - 'a' + 10);
  return 0;
}

uint32_t take_digits(uint32_t word, const char* text, int first, int last) {
  for (int i = first; i <= last; ++i) word = (word << 4) + digit_value(text[i]);
  return word;
}

}  // namespace

Uuid uuid_from_text(const char* text) {
  Uuid id;
  id.w0 = take_digits(0, text, 0, 7);
  id.w1 = take_digits(take_digits(0, text, 9, 12), text, 14, 17);
  id.w2 = take_digits(take_digits(0, text, 19, 22), text, 24, 27);
  id.w3 = take_digits(0, text, 28, 35);
  return id;
}

}  // namespace zeb
