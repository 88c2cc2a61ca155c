#include "plugin/host_log.hpp"

#include <algorithm>
#include <boost/format.hpp>
#include <cctype>
#include <charconv>
#include <chrono>
#include <locale>

#include "plugin/version.hpp"

namespace zeb {
namespace {

// Writes exponents with at least three digits ("e-002"), the form the message window has always
// shown, where glibc's printf family writes two. Everything else follows the classic locale.
class log_num_put : public std::num_put<char> {
 protected:
  iter_type do_put(iter_type out, std::ios_base& stream, char fill, double value) const override {
    return pad(out, stream, fill, render(value, stream.flags(), stream.precision()));
  }
  iter_type do_put(iter_type out, std::ios_base& stream, char fill,
                   long double value) const override {
    return do_put(out, stream, fill, static_cast<double>(value));
  }

 private:
  static std::string render(double value, std::ios_base::fmtflags flags,
                            std::streamsize precision) {
    const auto field = flags & std::ios_base::floatfield;
    std::chars_format chars = std::chars_format::general;
    if (field == std::ios_base::fixed) chars = std::chars_format::fixed;
    if (field == std::ios_base::scientific) chars = std::chars_format::scientific;
    if (field == (std::ios_base::fixed | std::ios_base::scientific)) chars = std::chars_format::hex;
    int digits = static_cast<int>(precision < 0 ? 6 : precision);
    if (chars == std::chars_format::general && digits == 0) digits = 1;

    char buffer[512];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, chars, digits);
    std::string text(buffer, result.ptr);
    if (chars != std::chars_format::hex) widen_exponent(text);
    if ((flags & std::ios_base::showpos) && text[0] != '-') text.insert(text.begin(), '+');
    if (flags & std::ios_base::uppercase)
      std::transform(text.begin(), text.end(), text.begin(),
                     [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return text;
  }

  static void widen_exponent(std::string& text) {
    const auto e = text.find('e');
    if (e == std::string::npos || e + 1 >= text.size()) return;
    const std::size_t digits_at = e + 2;  // past the exponent's sign
    const std::size_t digits = text.size() - digits_at;
    if (digits < 3) text.insert(digits_at, 3 - digits, '0');
  }

  static iter_type pad(iter_type out, std::ios_base& stream, char fill, const std::string& text) {
    const std::streamsize width = stream.width(0);
    const std::size_t missing =
        width > static_cast<std::streamsize>(text.size()) ? width - text.size() : 0;
    const auto adjust = stream.flags() & std::ios_base::adjustfield;
    std::size_t head = 0;  // characters written before the fill
    if (adjust == std::ios_base::left) head = text.size();
    if (adjust == std::ios_base::internal && !text.empty() && (text[0] == '-' || text[0] == '+'))
      head = 1;
    out = std::copy(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(head), out);
    out = std::fill_n(out, missing, fill);
    return std::copy(text.begin() + static_cast<std::ptrdiff_t>(head), text.end(), out);
  }
};

const std::locale& log_locale() {
  static const std::locale locale(std::locale::classic(), new log_num_put);
  return locale;
}

}  // namespace

std::string format_log_line(const char* format, std::initializer_list<LogArg> args) {
  boost::format line(format, log_locale());
  for (const LogArg& arg : args) {
    if (arg.is_integer())
      line % arg.integer();
    else
      line % arg.real();
  }
  return line.str();
}

void HostLog::format(const char* format, std::initializer_list<LogArg> args) const {
  const std::string text = format_log_line(format, args);
  host_.show_message(text.c_str(), nullptr);
}

void HostLog::begin(const char* banner_format) const {
  format(banner_format, {VERSION_MAJOR, VERSION_MINOR, VERSION_MICRO});
}

int32_t millisecond_clock() {
  const auto now = std::chrono::steady_clock::now().time_since_epoch();
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now).count();
  return static_cast<int32_t>(static_cast<uint32_t>(ms));
}

double duration_seconds(int32_t start_ms, int32_t end_ms) {
  const auto elapsed =
      static_cast<int32_t>(static_cast<uint32_t>(end_ms) - static_cast<uint32_t>(start_ms));
  return static_cast<double>(elapsed) / 1000.0;
}

}  // namespace zeb
