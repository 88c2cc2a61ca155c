#include "plugin/uuid.hpp"

#include <gtest/gtest.h>

#include <array>
#include <cstring>

namespace {

std::array<uint8_t, 16> bytes_of(const Uuid& id) {
  std::array<uint8_t, 16> bytes{};
  std::memcpy(bytes.data(), &id, 16);
  return bytes;
}

TEST(UuidFromText, WordsAndMemoryBytes) {
  const Uuid id = zeb::uuid_from_text("49F15F20-D77C-4352-830E-F7E208BC7BCE");
  EXPECT_EQ(id.w0, 0x49F15F20u);
  EXPECT_EQ(id.w1, 0xD77C4352u);
  EXPECT_EQ(id.w2, 0x830EF7E2u);
  EXPECT_EQ(id.w3, 0x08BC7BCEu);
  const std::array<uint8_t, 16> expected = {0x20, 0x5F, 0xF1, 0x49, 0x52, 0x43, 0x7C, 0xD7,
                                            0xE2, 0xF7, 0x0E, 0x83, 0xCE, 0x7B, 0xBC, 0x08};
  EXPECT_EQ(bytes_of(id), expected);
}

TEST(UuidFromText, CaseSeparatorsAndNonDigits) {
  EXPECT_EQ(zeb::uuid_from_text("6224533F-1BCB-46ce-8CD8-F19B8E028FB5").w1, 0x1BCB46CEu);
  const Uuid plain = zeb::uuid_from_text("49F15F20-D77C-4352-830E-F7E208BC7BCE");
  // The separator positions are never examined.
  EXPECT_EQ(zeb::uuid_from_text("49F15F20xD77C!4352Z830E-F7E208BC7BCE"), plain);
  // A character that is no hexadecimal digit counts as 0.
  EXPECT_EQ(zeb::uuid_from_text("G9F15F20-D77C-4352-830E-F7E208BC7BCE").w0, 0x09F15F20u);
  EXPECT_EQ(zeb::uuid_from_text("49F15F20-D77C-4352-830E-F7E208BC7BCg").w3, 0x08BC7BC0u);
}

}  // namespace
