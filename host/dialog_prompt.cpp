#include "host/dialog_prompt.hpp"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace zeb::host {
namespace {

// The label's caption: the text before the choice list, without the blank that ends it.
std::string caption(const std::string& label) {
  std::string text = label.substr(0, label.find('/'));
  while (!text.empty() && text.back() == ' ') text.pop_back();
  return text;
}

std::string lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

std::string trim(const std::string& text) {
  const std::size_t begin = text.find_first_not_of(" \t\r");
  if (begin == std::string::npos) return "";
  return text.substr(begin, text.find_last_not_of(" \t\r") - begin + 1);
}

std::string number_text(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.9g", value);
  return text;
}

bool read_line(std::istream& in, std::string& line) {
  if (!std::getline(in, line)) return false;
  line = trim(line);
  return true;
}

// -1: end of input.
int ask_choice(std::istream& in, std::ostream& out, const MemoryDialog::Item& item) {
  const int count = static_cast<int>(item.choices.size());
  const bool current_valid = item.int_value >= 0 && item.int_value < count;
  while (true) {
    out << caption(item.label) << " [0-" << count - 1 << " or a name";
    if (current_valid) out << ", Enter keeps " << item.choices[item.int_value];
    out << "]: " << std::flush;
    std::string answer;
    if (!read_line(in, answer)) return -1;
    if (answer.empty() && current_valid) return item.int_value;
    char* end = nullptr;
    const long index = std::strtol(answer.c_str(), &end, 10);
    if (!answer.empty() && *end == '\0' && index >= 0 && index < count)
      return static_cast<int>(index);
    for (int c = 0; c < count; ++c) {
      if (lower(trim(item.choices[c])) == lower(answer)) return c;
    }
    out << "  not a choice: \"" << answer << "\"\n";
  }
}

bool ask_number(std::istream& in, std::ostream& out, const MemoryDialog::Item& item,
                double& value) {
  while (true) {
    out << caption(item.label) << " [Enter keeps " << number_text(item.float_value)
        << "]: " << std::flush;
    std::string answer;
    if (!read_line(in, answer)) return false;
    if (answer.empty()) {
      value = item.float_value;
      return true;
    }
    char* end = nullptr;
    const double number = std::strtod(answer.c_str(), &end);
    if (*end == '\0' && std::isfinite(number)) {
      value = number;
      return true;
    }
    out << "  not a number: \"" << answer << "\"\n";
  }
}

}  // namespace

DialogScript prompt_dialog(std::istream& in, std::ostream& out) {
  return [&in, &out](MemoryDialog& dialog) {
    out << dialog.title << "\n";
    for (const MemoryDialog::Item& item : dialog.items) {
      out << "  " << caption(item.label) << ": ";
      if (item.kind == HostDialog::CHOICE_ITEM) {
        for (std::size_t c = 0; c < item.choices.size(); ++c) {
          const bool chosen = static_cast<int32_t>(c) == item.int_value;
          out << (c ? "  " : "") << (chosen ? "(*) " : "( ) ") << c << " " << item.choices[c];
        }
      } else {
        out << number_text(item.float_value);
      }
      out << "\n";
    }
    for (MemoryDialog::Item& item : dialog.items) {
      if (item.kind == HostDialog::CHOICE_ITEM && !item.choices.empty()) {
        const int choice = ask_choice(in, out, item);
        if (choice < 0) return false;
        item.int_value = choice;
      } else if (item.kind == HostDialog::NUMBER_ITEM) {
        double value = 0.0;
        if (!ask_number(in, out, item, value)) return false;
        item.float_value = value;
      }
    }
    while (true) {
      out << "OK? [Y/n]: " << std::flush;
      std::string answer;
      if (!read_line(in, answer)) return false;
      answer = lower(answer);
      if (answer.empty() || answer == "y" || answer == "yes") return true;
      if (answer == "n" || answer == "no") return false;
    }
  };
}

}  // namespace zeb::host
