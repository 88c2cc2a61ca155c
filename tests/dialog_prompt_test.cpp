// The terminal dialog and the progress bar of zeb-host.
#include "host/dialog_prompt.hpp"

#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>

#include "host/progress.hpp"

namespace zeb::host {
namespace {

// A dialog built the way the camera attribute builds it, already filled by the responder.
class DialogPromptTest : public ::testing::Test {
 protected:
  DialogPromptTest() : dialog(ledger, Uuid{}, nullptr, nullptr) {
    dialog.set_dialog_title("zeb camera options", nullptr);
    dialog.append_dialog_item(HostDialog::CHOICE_ITEM, "Aperture shape /Circle/Hexagon/Heptagon",
                              -1, nullptr);
    dialog.append_dialog_item(HostDialog::NUMBER_ITEM, "F-value ", -1, nullptr);
    dialog.set_item_int(0, 1, nullptr);
    dialog.set_item_float(1, 16.0, nullptr);
  }

  bool answer(const std::string& input) {
    std::istringstream in(input);
    return prompt_dialog(in, shown)(dialog);
  }

  RefLedger ledger;
  MemoryDialog dialog;
  std::ostringstream shown;
};

TEST_F(DialogPromptTest, ShowsTitleItemsAndCurrentValues) {
  answer("");
  const std::string text = shown.str();
  EXPECT_EQ(text.rfind("zeb camera options\n"
                       "  Aperture shape: ( ) 0 Circle  (*) 1 Hexagon  ( ) 2 Heptagon\n"
                       "  F-value: 16\n",
                       0),
            0u)
      << text;
}

struct AnswerCase {
  const char* name;
  const char* input;
  bool confirmed;
  int32_t shape;
  double f_value;
};
void PrintTo(const AnswerCase& c, std::ostream* out) { *out << c.name; }

class DialogAnswerTest : public DialogPromptTest,
                         public ::testing::WithParamInterface<AnswerCase> {};

TEST_P(DialogAnswerTest, SetsTheItems) {
  const AnswerCase& c = GetParam();
  EXPECT_EQ(answer(c.input), c.confirmed) << shown.str();
  if (c.confirmed) {
    EXPECT_EQ(dialog.items[0].int_value, c.shape);
    EXPECT_EQ(dialog.items[1].float_value, c.f_value);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Answers, DialogAnswerTest,
    ::testing::Values(AnswerCase{"EnterKeepsEverything", "\n\n\n", true, 1, 16.0},
                      AnswerCase{"ByIndex", "2\n5.6\ny\n", true, 2, 5.6},
                      AnswerCase{"ByNameInAnyCase", "circle\n 8 \nyes\n", true, 0, 8.0},
                      AnswerCase{"BadAnswersAreAskedAgain", "7\nsquare\n0\nabc\ninf\n4\n\n", true,
                                 0, 4.0},
                      AnswerCase{"No", "\n\nn\n", false, 0, 0},
                      AnswerCase{"EndOfInputCancels", "2\n", false, 0, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ProgressTest, ImageHookFiresEveryStepAccesses) {
  RefLedger ledger;
  MemoryImage image(ledger, 4, 4);
  std::vector<int64_t> seen;
  image.set_progress_hook(
      [&seen](const MemoryImage& i) { seen.push_back(i.pixel_reads + i.pixel_writes); }, 5);
  float rgba[4] = {};
  for (int32_t n = 0; n < 16; ++n) {
    image.get_pixel_rgba(n % 4, n / 4, rgba, nullptr);
    image.set_pixel_rgba(n % 4, n / 4, rgba, nullptr);
  }
  EXPECT_EQ(seen, (std::vector<int64_t>{5, 10, 15, 20, 25, 30}));
  image.set_progress_hook(nullptr, 5);
  image.get_pixel_rgba(0, 0, rgba, nullptr);
  EXPECT_EQ(seen.size(), 6u);
}

TEST(ProgressTest, BarDrawsOnlyWhenEnabledAndClearsItsLine) {
  for (const bool enabled : {false, true}) {
    std::FILE* out = std::tmpfile();
    ASSERT_NE(out, nullptr);
    {
      ProgressBar bar(enabled, out);
      bar.begin("bloom", 200);
      bar.update(100);
      bar.update(101);  // below the redraw step
      bar.update(500);  // past the end: shown as full
    }
    const long size = std::ftell(out);
    std::rewind(out);
    std::string text(static_cast<std::size_t>(size), '\0');
    ASSERT_EQ(std::fread(text.data(), 1, text.size(), out), text.size());
    std::fclose(out);
    if (!enabled) {
      EXPECT_TRUE(text.empty());
      continue;
    }
    EXPECT_NE(text.find("bloom ["), std::string::npos);
    EXPECT_NE(text.find(" 50%"), std::string::npos);
    EXPECT_NE(text.find("100%"), std::string::npos);
    EXPECT_EQ(text.find(" 50%", text.find(" 50%") + 1), std::string::npos) << text;
    EXPECT_EQ(text.substr(text.size() - 4), "\r\033[K");  // the line is left clean
  }
}

}  // namespace
}  // namespace zeb::host
