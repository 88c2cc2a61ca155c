// HostLog: the module's report in the host's message window. One call of show_message per line,
// no terminator, nothing kept between lines.
//
//   HostLog log(host);
//   log.format("Image width: %d [px]", {width});   // printf-style, through Boost.Format
//   log.line("[end] zeb bloom");                     // sent as it stands
//
// Numbers render the same in every locale ("." as decimal point, no grouping) and "%e" writes a
// three-digit exponent: "%9.4e" of 0.024 is "2.4000e-002".
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>

#include "plugin/host.hpp"

namespace zeb {

// One argument of a formatted line: integers travel as 32-bit integers, reals as doubles.
class LogArg {
 public:
  LogArg(int32_t value) : is_integer_(true), integer_(value) {}  // NOLINT: implicit by design
  LogArg(double value) : is_integer_(false), real_(value) {}     // NOLINT: implicit by design

  bool is_integer() const { return is_integer_; }
  int32_t integer() const { return integer_; }
  double real() const { return real_; }

 private:
  bool is_integer_;
  int32_t integer_ = 0;
  double real_ = 0.0;
};

// Formats one line the way the log sends it: a fresh format object, the arguments fed in
// directive order. Exposed so the renderings can be tested without a host.
std::string format_log_line(const char* format, std::initializer_list<LogArg> args);

class HostLog {
 public:
  explicit HostLog(HostServices& host) : host_(host) {}

  void line(const char* text) const { host_.show_message(text, nullptr); }
  void format(const char* format, std::initializer_list<LogArg> args) const;
  // "[begin] zeb <operation> 1.0.0": banner_format holds the three "%d" for the version.
  void begin(const char* banner_format) const;

 private:
  HostServices& host_;
};

// Elapsed real time in whole milliseconds; wraps around like a 32-bit counter.
int32_t millisecond_clock();
// The readings are subtracted as 32-bit integers, so a wrap between them does no harm.
double duration_seconds(int32_t start_ms, int32_t end_ms);

}  // namespace zeb
