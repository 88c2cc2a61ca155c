// Interface kinds the host asks for, and the module's implementation identifiers.
#pragma once

#include <cstdint>

#include "plugin/uuid.hpp"
#include "sxsdk/unknown.hpp"

namespace zeb {

// The host's kind identifiers, compared byte for byte. They differ only in their first byte.
using InterfaceKindId = IID;
inline constexpr InterfaceKindId EFFECTOR_KIND_ID = {
    0x50E47D64, 0x8922, 0x11D1, {0x9A, 0x00, 0x00, 0xC0, 0x4F, 0xCC, 0x9C, 0x26}};
inline constexpr InterfaceKindId ATTRIBUTE_KIND_ID = {
    0x50E47D67, 0x8922, 0x11D1, {0x9A, 0x00, 0x00, 0xC0, 0x4F, 0xCC, 0x9C, 0x26}};
inline constexpr InterfaceKindId PLUGIN_KIND_ID = {
    0x50E47D69, 0x8922, 0x11D1, {0x9A, 0x00, 0x00, 0xC0, 0x4F, 0xCC, 0x9C, 0x26}};
static_assert(sizeof(InterfaceKindId) == 16, "kind ids are 16 bytes");

// Parsed from their texts when the module is loaded.
extern const Uuid CAMERA_ATTRIBUTE_UUID;  // "9F55EACD-4402-4f47-9B14-CFD9C9FFD6EE"
extern const Uuid TONEMAP_UUID;           // "6224533F-1BCB-46ce-8CD8-F19B8E028FB5"
extern const Uuid BLOOM_UUID;             // "49F15F20-D77C-4352-830E-F7E208BC7BCE"
extern const Uuid DELETE_COMMAND_UUID;    // "9F47E446-7C8D-4334-BC64-1ADDFCFD9D08"

}  // namespace zeb
