// How log lines render, whatever the locale of the process.
#include "plugin/host_log.hpp"

#include <gtest/gtest.h>

#include <locale>
#include <string>

#include "host/memory_host.hpp"

namespace {

using zeb::format_log_line;
using zeb::LogArg;

struct Rendering {
  const char* format;
  LogArg arg;
  const char* expected;
};

void PrintTo(const Rendering& r, std::ostream* os) { *os << '"' << r.expected << '"'; }

class LogRendering : public testing::TestWithParam<Rendering> {};

TEST_P(LogRendering, MatchesTheMessageWindowForm) {
  EXPECT_EQ(format_log_line(GetParam().format, {GetParam().arg}), GetParam().expected);
}

const Rendering RENDERINGS[] = {
    {"%d", int32_t{1}, "1"},
    {"Image width: %d [px]", int32_t{1920}, "Image width: 1920 [px]"},
    {"%d", int32_t{-7}, "-7"},
    {"Attribute stream ID: %X", static_cast<int32_t>(0x9F55EACDu), "Attribute stream ID: 9F55EACD"},
    {"%X", int32_t{255}, "FF"},
    {"F-value: %f [-]", 16.0, "F-value: 16.000000 [-]"},
    {"%f", 0.0, "0.000000"},
    {"%f", 5.599999904632568, "5.600000"},
    {"Alpha: %6.2f [-]", 0.1, "Alpha:   0.10 [-]"},
    {"%6.2f", 6.0, "  6.00"},
    {"%6.2f", 123.45, "123.45"},
    {"%6.2f", 1234.567, "1234.57"},
    {"%6.2f", 0.004, "  0.00"},
    {"%6.2f", -1.5, " -1.50"},
    {"%6.2f", 1000.0, "1000.00"},
    {"%9.4e", 0.024, "2.4000e-002"},
    {"%9.4e", 16.0, "1.6000e+001"},
    {"%9.4e", 5.0e-5, "5.0000e-005"},
    {"%9.4e", 1.08336e-5, "1.0834e-005"},
    {"%9.4e", 0.216672, "2.1667e-001"},
    {"%9.4e", 1.0, "1.0000e+000"},
    {"%9.4e", -2.0, "-2.0000e+000"},
    {"%9.4e", 1.0e-300, "1.0000e-300"},
};
INSTANTIATE_TEST_SUITE_P(Directives, LogRendering, testing::ValuesIn(RENDERINGS));

TEST(LogRendering, SeveralArgumentsInDirectiveOrder) {
  EXPECT_EQ(format_log_line("[begin] zeb bloom %d.%d.%d", {int32_t{1}, int32_t{0}, int32_t{0}}),
            "[begin] zeb bloom 1.0.0");
}

// A locale that writes "," for the decimal point and groups digits by three.
class comma_numpunct : public std::numpunct<char> {
 protected:
  char do_decimal_point() const override { return ','; }
  char do_thousands_sep() const override { return '.'; }
  std::string do_grouping() const override { return "\3"; }
};

TEST(LogRendering, IgnoresTheGlobalLocale) {
  const std::locale previous =
      std::locale::global(std::locale(std::locale::classic(), new comma_numpunct));
  const std::string width = format_log_line("%d", {int32_t{1920}});
  const std::string alpha = format_log_line("%6.2f", {0.1});
  const std::string film = format_log_line("%9.4e", {0.024});
  const std::string big = format_log_line("%6.2f", {1234.567});
  std::locale::global(previous);
  EXPECT_EQ(width, "1920");
  EXPECT_EQ(alpha, "  0.10");
  EXPECT_EQ(film, "2.4000e-002");
  EXPECT_EQ(big, "1234.57");
}

TEST(HostLog, OneMessagePerLineWithoutTerminator) {
  zeb::host::MemoryHost host;
  zeb::HostLog log(host);
  log.begin("[begin] zeb tonemap %d.%d.%d");
  log.format("Burn: %6.2f [-]", {2.0});
  log.line("[end] zeb tonemap");
  const std::vector<std::string> expected = {"[begin] zeb tonemap 1.0.0", "Burn:   2.00 [-]",
                                             "[end] zeb tonemap"};
  EXPECT_EQ(host.messages, expected);
}

TEST(Durations, MillisecondsAsThirtyTwoBitDifference) {
  EXPECT_DOUBLE_EQ(zeb::duration_seconds(1000, 1250), 0.25);
  EXPECT_DOUBLE_EQ(zeb::duration_seconds(5, 5), 0.0);
  // The counter wrapped between the two readings.
  EXPECT_DOUBLE_EQ(zeb::duration_seconds(INT32_MAX - 99, INT32_MIN + 400), 0.5);
  EXPECT_EQ(format_log_line("Filtering took: %6.2f [sec]", {zeb::duration_seconds(0, 4)}),
            "Filtering took:   0.00 [sec]");
  EXPECT_EQ(format_log_line("%6.2f", {zeb::duration_seconds(0, 1234567)}), "1234.57");
  const int32_t start = zeb::millisecond_clock();
  EXPECT_GE(zeb::duration_seconds(start, zeb::millisecond_clock()), 0.0);
}

}  // namespace
