// The camera options dialog, driven through the built module as the host drives it.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "camera/camera_optics.hpp"
#include "module_test_support.hpp"
#include "plugin/host_ref.hpp"
#include "plugin/uuid.hpp"

namespace {

using zeb::CAMERA_STREAM_ID;
using zeb::host::DialogScript;
using zeb::host::MemoryCamera;
using zeb::host::MemoryDialog;
using zeb::host::MemoryHost;
using zeb::testing::ModuleObject;
using Lines = std::vector<std::string>;

const std::string STREAM_ID_TEXT = std::to_string(CAMERA_STREAM_ID);

// What the dialog showed once its responder had filled it.
struct Shown {
  Uuid id;
  std::string title;
  std::vector<MemoryDialog::Item> items;
};

class CameraAttributeTest : public ::testing::Test {
 protected:
  explicit CameraAttributeTest(const std::string& language = "en")
      : host(zeb::testing::module_resources(language)),
        camera_a(host.scene().add_camera("A")),
        camera_b(host.scene().add_camera("B")),
        attribute(zeb::ATTRIBUTE_KIND_ID, 0, host) {
    baseline = host.ledger().outstanding();
  }

  ~CameraAttributeTest() override {
    zeb::testing::expect_references_returned(host.ledger(), baseline);
  }

  // Runs the dialog on camera with the user's answer given by script; records what was shown.
  bool edit(MemoryCamera& camera, DialogScript script) {
    host.dialog_script = [this, script](MemoryDialog& dialog) {
      shown = Shown{dialog.id, dialog.title, dialog.items};
      return script(dialog);
    };
    host.messages.clear();
    host.calls.clear();
    const bool result = attribute.attribute()->edit_camera_options(camera, nullptr);
    zeb::testing::expect_references_returned(host.ledger(), baseline);
    return result;
  }
  bool confirm(MemoryCamera& camera, int32_t shape, double f_value) {
    return edit(camera, zeb::host::confirm_with(&shape, &f_value));
  }

  static void store(MemoryCamera& camera, int32_t shape, float f_value) {
    zeb::HostRef<zeb::AttributeStream> stream(camera.create_stream(0, CAMERA_STREAM_ID, nullptr),
                                              zeb::adopt_ref);
    zeb::write_camera_optics(*stream, {shape, f_value});
  }

  void expect_shown(int32_t shape, double f_value) {
    ASSERT_TRUE(shown.has_value());
    ASSERT_EQ(shown->items.size(), 2u);
    EXPECT_EQ(shown->items[0].int_value, shape);
    EXPECT_EQ(shown->items[1].float_value, f_value);
  }

  MemoryHost host;
  MemoryCamera& camera_a;
  MemoryCamera& camera_b;
  ModuleObject attribute;
  int64_t baseline = 0;
  std::optional<Shown> shown;
};

TEST_F(CameraAttributeTest, ObjectHoldsTheHostServicesForItsLife) {
  EXPECT_EQ(host.ref_count(), 1);
  EXPECT_EQ(attribute.get()->get_sdk_build(nullptr), 463042);
  EXPECT_EQ(attribute.get()->get_implementation_uuid(nullptr),
            zeb::uuid_from_text("9F55EACD-4402-4f47-9B14-CFD9C9FFD6EE"));
}

TEST_F(CameraAttributeTest, DialogIsBuiltFromTheStringTable) {
  edit(camera_a, zeb::host::cancel_dialog());
  ASSERT_TRUE(shown.has_value());
  EXPECT_EQ(shown->id, zeb::uuid_from_text("34061D3E-55D2-4cd4-898D-74DAA13DAF0D"));
  EXPECT_EQ(shown->title, "zeb camera options");
  ASSERT_EQ(shown->items.size(), 2u);
  EXPECT_EQ(shown->items[0].kind, 2);
  EXPECT_EQ(shown->items[0].label, "Aperture shape /Circle/Hexagon/Heptagon");
  EXPECT_EQ(shown->items[0].item_id, -1);
  EXPECT_EQ(shown->items[0].choices, (Lines{"Circle", "Hexagon", "Heptagon"}));
  EXPECT_EQ(shown->items[1].kind, 8);
  EXPECT_EQ(shown->items[1].label, "F-value ");
  EXPECT_EQ(shown->items[1].item_id, -1);
}

TEST_F(CameraAttributeTest, CancelLogsTwoLinesAndLeavesTheRecord) {
  EXPECT_FALSE(edit(camera_a, zeb::host::cancel_dialog()));
  EXPECT_EQ(host.messages,
            (Lines{"[begin] zeb camera attribute 1.0.0", "[end] zeb camera attribute"}));
  EXPECT_TRUE(camera_a.streams.empty());

  store(camera_a, zeb::Heptagon, 4.0f);
  const std::vector<uint8_t> before = camera_a.streams.at(CAMERA_STREAM_ID);
  EXPECT_FALSE(edit(camera_a, zeb::host::cancel_dialog()));
  EXPECT_EQ(camera_a.streams.at(CAMERA_STREAM_ID), before);
  EXPECT_TRUE(std::none_of(host.calls.begin(), host.calls.end(), [](const std::string& call) {
    return call.rfind("create_stream", 0) == 0 || call.rfind("get_item", 0) == 0;
  }));
}

TEST_F(CameraAttributeTest, ConfirmWritesTheRecordWithSixLines) {
  EXPECT_TRUE(confirm(camera_a, zeb::Hexagon, 5.6));
  EXPECT_EQ(host.messages,
            (Lines{"[begin] zeb camera attribute 1.0.0", "Attribute stream ID: 9F55EACD",
                   "Aperture: Hexagon", "F-value: 5.600000 [-]", "Attributes has been written.",
                   "[end] zeb camera attribute"}));
  const zeb::CameraOpticsRecord record = zeb::read_camera_optics(camera_a);
  EXPECT_EQ(record.aperture_shape, 1);
  EXPECT_EQ(static_cast<double>(record.f_value), 5.599999904632568);

  // The next dialog opens with the stored value, widened back exactly.
  edit(camera_a, zeb::host::cancel_dialog());
  expect_shown(1, 5.599999904632568);
}

// Every host call of a confirmed edit, in order: the responder fills the dialog from the active
// camera inside ask_dialog; the edited camera's stream is created before the values are fetched.
TEST_F(CameraAttributeTest, ConfirmedEditMakesTheHostCallsInOrder) {
  confirm(camera_b, zeb::Circle, 2.0);
  const Lines expected = {"create_dialog",
                          "get_resources",
                          "set_dialog_title",
                          "get_resources",
                          "append_dialog_item 2",
                          "get_resources",
                          "append_dialog_item 8",
                          "set_dialog_responder",
                          "ask_dialog",
                          "get_scene",
                          "active_camera_index",
                          "camera_at 0",
                          "find_stream A 0 " + STREAM_ID_TEXT,
                          "release A",
                          "release scene",
                          "set_item_int 0",
                          "set_item_float 1",
                          "create_stream B 0 " + STREAM_ID_TEXT,
                          "get_item_int 0",
                          "get_item_float 1",
                          "write_int",
                          "write_float",
                          "release stream",
                          "release dialog"};
  EXPECT_EQ(host.calls, expected);
}

TEST_F(CameraAttributeTest, DialogOpensWithDefaultsWhenActiveCameraHasNoRecord) {
  edit(camera_a, zeb::host::cancel_dialog());
  expect_shown(zeb::Circle, 16.0);
}

TEST_F(CameraAttributeTest, DialogShowsActiveCameraButStoresOnTheEditedOne) {
  store(camera_a, zeb::Heptagon, 4.0f);
  const std::vector<uint8_t> a_before = camera_a.streams.at(CAMERA_STREAM_ID);

  EXPECT_TRUE(edit(camera_b, zeb::host::confirm_unchanged()));
  expect_shown(zeb::Heptagon, 4.0);
  EXPECT_EQ(camera_b.streams.at(CAMERA_STREAM_ID), a_before);

  EXPECT_TRUE(confirm(camera_b, zeb::Hexagon, 11.0));
  EXPECT_EQ(camera_a.streams.at(CAMERA_STREAM_ID), a_before);
  const zeb::CameraOpticsRecord b = zeb::read_camera_optics(camera_b);
  EXPECT_EQ(b.aperture_shape, zeb::Hexagon);
  EXPECT_EQ(b.f_value, 11.0f);

  // B's record shows only once B renders.
  edit(camera_a, zeb::host::cancel_dialog());
  expect_shown(zeb::Heptagon, 4.0);
  host.scene().active_index = 1;
  edit(camera_a, zeb::host::cancel_dialog());
  expect_shown(zeb::Hexagon, 11.0);
}

TEST_F(CameraAttributeTest, SecondConfirmReplacesTheFirst) {
  confirm(camera_a, zeb::Circle, 2.0);
  confirm(camera_a, zeb::Heptagon, 8.0);
  EXPECT_EQ(camera_a.streams.at(CAMERA_STREAM_ID).size(), 8u);
  const zeb::CameraOpticsRecord record = zeb::read_camera_optics(camera_a);
  EXPECT_EQ(record.aperture_shape, zeb::Heptagon);
  EXPECT_EQ(record.f_value, 8.0f);
}

struct Confirmed {
  int32_t shape;
  double f_value;
  std::optional<std::string> aperture_line;
  std::string f_value_line;
};

class CameraAttributeValues : public CameraAttributeTest,
                              public ::testing::WithParamInterface<Confirmed> {};

// Nothing is validated here: whatever the items deliver is logged and stored.
TEST_P(CameraAttributeValues, LoggedAndStoredAsEntered) {
  const Confirmed& param = GetParam();
  EXPECT_TRUE(confirm(camera_a, param.shape, param.f_value));
  Lines expected = {"[begin] zeb camera attribute 1.0.0", "Attribute stream ID: 9F55EACD"};
  if (param.aperture_line) expected.push_back(*param.aperture_line);
  expected.insert(expected.end(), {param.f_value_line, "Attributes has been written.",
                                   "[end] zeb camera attribute"});
  EXPECT_EQ(host.messages, expected);

  const zeb::CameraOpticsRecord record = zeb::read_camera_optics(camera_a);
  EXPECT_EQ(record.aperture_shape, param.shape);
  EXPECT_EQ(record.f_value, static_cast<float>(param.f_value));
}

INSTANTIATE_TEST_SUITE_P(
    Entries, CameraAttributeValues,
    ::testing::Values(Confirmed{0, 16.0, "Aperture: Circle", "F-value: 16.000000 [-]"},
                      Confirmed{1, 1.4, "Aperture: Hexagon", "F-value: 1.400000 [-]"},
                      Confirmed{2, 0.0, "Aperture: Heptagon", "F-value: 0.000000 [-]"},
                      Confirmed{3, 2.8, std::nullopt, "F-value: 2.800000 [-]"},
                      Confirmed{-1, -1.5, std::nullopt, "F-value: -1.500000 [-]"},
                      Confirmed{2, 1234.5678, "Aperture: Heptagon", "F-value: 1234.567800 [-]"}));

class CameraAttributeJapanese : public CameraAttributeTest {
 protected:
  CameraAttributeJapanese() : CameraAttributeTest("ja") {}
};

TEST_F(CameraAttributeJapanese, DialogTextsComeInTheHostsLanguage) {
  EXPECT_TRUE(confirm(camera_a, zeb::Heptagon, 4.0));
  ASSERT_TRUE(shown.has_value());
  EXPECT_EQ(shown->title, "zeb camera設定");
  ASSERT_EQ(shown->items.size(), 2u);
  EXPECT_EQ(shown->items[0].label, "絞り形状 /円形/六角形/七角形");
  EXPECT_EQ(shown->items[0].choices, (Lines{"円形", "六角形", "七角形"}));
  EXPECT_EQ(shown->items[1].label, "F値 ");
  // The log stays English whatever the language.
  EXPECT_EQ(host.messages[2], "Aperture: Heptagon");
}

}  // namespace
