// The registry as the application sees it: through the loaded module's six exports only.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstring>
#include <memory>
#include <set>
#include <string>

#include "host/memory_host.hpp"
#include "host/module_loader.hpp"
#include "module_test_support.hpp"
#include "plugin/identifiers.hpp"
#include "sxsdk/plugin_interface.hpp"

namespace {

using zeb::ATTRIBUTE_KIND_ID;
using zeb::EFFECTOR_KIND_ID;
using zeb::PLUGIN_KIND_ID;
using zeb::host::LoadedModule;
using zeb::host::MemoryHost;

LoadedModule& module() { return zeb::testing::loaded_module(); }

IID with_last_byte(IID kind, uint8_t last) {
  kind.Data4[7] = last;
  return kind;
}

TEST(Exports, HasInterfaceCountsPerKind) {
  MemoryHost host;
  const IID zero{};
  EXPECT_EQ(module().has_interface(&ATTRIBUTE_KIND_ID, &host), 1);
  EXPECT_EQ(module().has_interface(&EFFECTOR_KIND_ID, &host), 2);
  EXPECT_EQ(module().has_interface(&PLUGIN_KIND_ID, &host), 1);
  EXPECT_EQ(module().has_interface(&zero, &host), 0);
  const IID near_effector = with_last_byte(EFFECTOR_KIND_ID, 0x27);
  EXPECT_EQ(module().has_interface(&near_effector, &host), 0);
}

TEST(Exports, KindIdsAreTheHostsBytes) {
  const std::array<uint8_t, 16> effector = {0x64, 0x7D, 0xE4, 0x50, 0x22, 0x89, 0xD1, 0x11,
                                            0x9A, 0x00, 0x00, 0xC0, 0x4F, 0xCC, 0x9C, 0x26};
  std::array<uint8_t, 16> bytes{};
  std::memcpy(bytes.data(), &EFFECTOR_KIND_ID, 16);
  EXPECT_EQ(bytes, effector);
  std::memcpy(bytes.data(), &ATTRIBUTE_KIND_ID, 16);
  EXPECT_EQ(bytes[0], 0x67);
  std::memcpy(bytes.data(), &PLUGIN_KIND_ID, 16);
  EXPECT_EQ(bytes[0], 0x69);
}

struct UuidCase {
  const IID* kind;
  int32_t index;
  const char* text;  // null: the all-zero Uuid
};

void PrintTo(const UuidCase& c, std::ostream* os) {
  *os << "kind " << int(reinterpret_cast<const uint8_t*>(c.kind)[0]) << " index " << c.index;
}

class GetUuid : public testing::TestWithParam<UuidCase> {};

TEST_P(GetUuid, AnswersTheEntryOrZero) {
  const UuidCase& c = GetParam();
  const Uuid id = module().get_uuid(c.kind, c.index, nullptr);
  EXPECT_EQ(id, c.text ? zeb::uuid_from_text(c.text) : Uuid{});
}

const IID UNKNOWN_KIND{};
INSTANTIATE_TEST_SUITE_P(
    Registry, GetUuid,
    testing::Values(UuidCase{&ATTRIBUTE_KIND_ID, 0, "9F55EACD-4402-4f47-9B14-CFD9C9FFD6EE"},
                    UuidCase{&ATTRIBUTE_KIND_ID, 5, "9F55EACD-4402-4f47-9B14-CFD9C9FFD6EE"},
                    UuidCase{&EFFECTOR_KIND_ID, 0, "6224533F-1BCB-46ce-8CD8-F19B8E028FB5"},
                    UuidCase{&EFFECTOR_KIND_ID, 1, "49F15F20-D77C-4352-830E-F7E208BC7BCE"},
                    UuidCase{&EFFECTOR_KIND_ID, 2, nullptr},
                    UuidCase{&EFFECTOR_KIND_ID, -1, nullptr},
                    UuidCase{&PLUGIN_KIND_ID, 7, "9F47E446-7C8D-4334-BC64-1ADDFCFD9D08"},
                    UuidCase{&UNKNOWN_KIND, 0, nullptr}));

TEST(Exports, GetNameWithoutEntryAsksTheHostNothing) {
  MemoryHost host;
  EXPECT_EQ(module().get_name(&EFFECTOR_KIND_ID, 2, &host, nullptr), nullptr);
  EXPECT_EQ(module().get_name(&UNKNOWN_KIND, 0, &host, nullptr), nullptr);
  EXPECT_TRUE(host.calls.empty());
  EXPECT_EQ(host.resources().string_requests, 0);
}

TEST(Exports, GetInfoAndResidency) {
  MemoryHost host;
  ModuleInfo info{};
  EXPECT_EQ(module().get_info(&info, &host, nullptr), 0);
  EXPECT_EQ(info.sdk_build, 463042);
  EXPECT_EQ(info.host_build, 460000);
  EXPECT_EQ(info.major_version, 1);
  EXPECT_EQ(info.minor_version, 0);
  EXPECT_EQ(info.micro_version, 0);
  EXPECT_EQ(info.build_number, 1);
  EXPECT_FALSE(module().is_resident(&EFFECTOR_KIND_ID, 0, &host));
}

struct CreateCase {
  const IID* kind;
  int32_t index;
  bool keeps_host;
};

void PrintTo(const CreateCase& c, std::ostream* os) {
  *os << "kind " << int(reinterpret_cast<const uint8_t*>(c.kind)[0]) << " index " << c.index;
}

class CreateInterface : public testing::TestWithParam<CreateCase> {};

TEST_P(CreateInterface, OneReferenceAndTheHostKeptOrNot) {
  const CreateCase& c = GetParam();
  MemoryHost host;
  sxsdk::plugin_interface* object = nullptr;
  ASSERT_EQ(module().create_interface(c.kind, c.index, &object, &host, nullptr), 1);
  ASSERT_NE(object, nullptr);
  EXPECT_EQ(host.ref_count(), c.keeps_host ? 1 : 0);

  EXPECT_EQ(object->get_sdk_build(nullptr), 463042);
  EXPECT_EQ(object->get_implementation_uuid(nullptr), module().get_uuid(c.kind, c.index, nullptr));

  void* untouched = &host;
  EXPECT_EQ(object->QueryInterface(EFFECTOR_KIND_ID, &untouched), E_NOINTERFACE);
  EXPECT_EQ(untouched, &host);

  EXPECT_EQ(object->AddRef(), 2u);
  EXPECT_EQ(object->Release(), 1u);
  EXPECT_EQ(object->Release(), 0u);  // destroys the object
  EXPECT_EQ(host.ref_count(), 0);
  EXPECT_EQ(host.ledger().outstanding(), 0);
  EXPECT_EQ(host.ledger().over_releases, 0);
}

INSTANTIATE_TEST_SUITE_P(Registry, CreateInterface,
                         testing::Values(CreateCase{&ATTRIBUTE_KIND_ID, 0, true},
                                         CreateCase{&EFFECTOR_KIND_ID, 0, true},
                                         CreateCase{&EFFECTOR_KIND_ID, 1, true},
                                         CreateCase{&PLUGIN_KIND_ID, 0, false}));

TEST(Exports, CreateWithoutEntryMakesNothing) {
  MemoryHost host;
  sxsdk::plugin_interface* object = nullptr;
  EXPECT_EQ(module().create_interface(&EFFECTOR_KIND_ID, 2, &object, &host, nullptr), 0);
  EXPECT_EQ(object, nullptr);
  EXPECT_EQ(host.ref_count(), 0);
}

TEST(Exports, OnlyTheSixAreDynamicSymbols) {
  const std::string command = std::string("nm -D --defined-only ") + ZEB_MODULE_PATH;
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
  ASSERT_TRUE(pipe);
  std::set<std::string> symbols;
  char line[512];
  while (std::fgets(line, sizeof line, pipe.get())) {
    char type = 0;
    char name[400] = {};
    if (std::sscanf(line, "%*s %c %399s", &type, name) == 2) symbols.insert(name);
  }
  const std::set<std::string> expected = {"create_interface", "get_info",      "get_name",
                                          "get_uuid",         "has_interface", "is_resident"};
  EXPECT_EQ(symbols, expected);
}

}  // namespace
