// A progress bar on stderr for the long passes, drawn only when stderr is a terminal; on a pipe
// or a file it writes nothing at all, so logs and test output stay clean.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace zeb::host {

class ProgressBar {
 public:
  // enabled: usually stderr_is_terminal().
  explicit ProgressBar(bool enabled, std::FILE* out = stderr);
  ~ProgressBar();

  bool enabled() const { return enabled_; }
  // Starts a bar for a stretch of total units.
  void begin(std::string label, int64_t total);
  void update(int64_t done);
  // Clears the bar's line; done for good.
  void finish();
  // Clears the line before other text goes to the terminal; the next update redraws the bar.
  void interrupt();

 private:
  void draw();

  bool enabled_;
  std::FILE* out_;
  std::string label_;
  int64_t total_ = 0;
  int64_t done_ = 0;
  int shown_permille_ = -1;
  bool visible_ = false;
};

bool stderr_is_terminal();

}  // namespace zeb::host
