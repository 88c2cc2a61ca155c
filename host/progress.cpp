#include "host/progress.hpp"

#include <unistd.h>

#include <algorithm>

namespace zeb::host {

bool stderr_is_terminal() { return ::isatty(STDERR_FILENO) == 1; }

ProgressBar::ProgressBar(bool enabled, std::FILE* out) : enabled_(enabled), out_(out) {}

ProgressBar::~ProgressBar() { finish(); }

void ProgressBar::begin(std::string label, int64_t total) {
  label_ = std::move(label);
  total_ = std::max<int64_t>(total, 1);
  done_ = 0;
  shown_permille_ = -1;
  draw();
}

void ProgressBar::update(int64_t done) {
  done_ = std::clamp<int64_t>(done, 0, total_);
  draw();
}

void ProgressBar::draw() {
  if (!enabled_ || total_ == 0) return;
  const int permille = static_cast<int>(done_ * 1000 / total_);
  if (visible_ && permille / 10 == shown_permille_ / 10) return;  // redraw when the figure moves
  shown_permille_ = permille;
  constexpr int WIDTH = 30;
  const int filled = permille * WIDTH / 1000;
  std::fprintf(out_, "\r\033[K%s [%.*s%*s] %3d%%", label_.c_str(), filled,
               "##############################", WIDTH - filled, "", permille / 10);
  std::fflush(out_);
  visible_ = true;
}

void ProgressBar::interrupt() {
  if (!visible_) return;
  std::fputs("\r\033[K", out_);
  std::fflush(out_);
  visible_ = false;
  shown_permille_ = -1;
}

void ProgressBar::finish() {
  interrupt();
  total_ = 0;
}

}  // namespace zeb::host
