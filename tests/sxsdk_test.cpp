// Defaults the SDK bases keep for every operation a plug-in class does not serve.
#include <gtest/gtest.h>

#include <cstring>

#include "host/memory_host.hpp"
#include "sxsdk/plugin_interface.hpp"

namespace {

// A plug-in that overrides nothing, as every default must show through it.
class bare_effector : public sxsdk::effector_interface {};
class bare_attribute : public sxsdk::attribute_interface {
 public:
  sxsdk::shape_class* expand_part(sxsdk::part_class& part, void*) override { return &part; }
};

template <class F>
std::string thrown_text(F&& call) {
  try {
    call();
  } catch (const char* text) {
    return text;
  }
  return "(nothing thrown)";
}

TEST(SdkDefaults, EachKindBehavesAsItsKind) {
  auto* object = new bare_effector;
  object->AddRef();
  zeb::host::MemoryHost host;

  object->run_command(host, nullptr);  // empty
  EXPECT_TRUE(host.calls.empty());
  EXPECT_TRUE(object->is_enabled(nullptr));
  EXPECT_FALSE(object->uses_undo(nullptr));
  EXPECT_EQ(object->get_sdk_build(nullptr), 0);
  EXPECT_EQ(object->get_menu_count(nullptr), 1);
  EXPECT_EQ(object->filter_item_value(3, 42, nullptr), 42);  // echoes its second argument
  EXPECT_TRUE(object->get_implementation_uuid(nullptr).is_null());

  zeb::host::RefLedger ledger;
  zeb::host::MemoryDialog dialog(ledger, Uuid{}, nullptr, nullptr);
  bool flag = true;
  object->dialog_closed(flag, dialog, nullptr);
  EXPECT_FALSE(flag);
  flag = true;
  EXPECT_TRUE(object->respond(flag, dialog, 0, 0, nullptr));
  EXPECT_FALSE(flag);

  EXPECT_EQ(object->Release(), 0u);
}

TEST(SdkDefaults, PartForwardingTestsTheRunTimeType) {
  bare_attribute attribute;
  sxsdk::part_class part;
  sxsdk::shape_class plain;
  EXPECT_EQ(attribute.expand_shape(part, nullptr), &part);
  EXPECT_EQ(attribute.expand_shape(plain, nullptr), nullptr);
}

TEST(SdkDefaults, ReservedOperationsNameTheirBase) {
  bare_effector effector;
  bare_attribute attribute;
  EXPECT_EQ(thrown_text([&] { effector.reserved_plugin_0(nullptr); }),
            "invalid interface plugin_interface");
  EXPECT_EQ(thrown_text([&] { effector.reserved_effector_1(nullptr); }),
            "invalid interface effector_interface");
  EXPECT_EQ(thrown_text([&] { attribute.reserved_attribute_0(nullptr); }),
            "invalid interface attribute_interface");
}

TEST(SdkDefaults, ReferenceCountStartsAtZeroAndFreesAtZero) {
  auto* object = new bare_effector;
  EXPECT_EQ(object->ref_count(), 0);
  EXPECT_EQ(object->AddRef(), 1u);
  EXPECT_EQ(object->AddRef(), 2u);
  EXPECT_EQ(object->Release(), 1u);
  EXPECT_EQ(object->Release(), 0u);  // ASan reports a leak or double free otherwise
  void* out = &out;
  bare_attribute attribute;
  EXPECT_EQ(attribute.QueryInterface(IID{}, &out), E_NOINTERFACE);
  EXPECT_EQ(out, &out);
}

}  // namespace
