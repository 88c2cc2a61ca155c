// One run of the reference host: the loaded module, the in-memory host objects it works on, and
// the calls the application makes to drive its interfaces. The module's message window goes to
// stdout, one line per show_message, exactly as sent.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "host/memory_host.hpp"
#include "host/module_loader.hpp"
#include "host/progress.hpp"

namespace zeb::host {

// The module's effectors the host knows by name, found among the module's effectors by their
// implementation identifiers (the application identifies interfaces the same way).
inline constexpr const char* BLOOM_EFFECT = "bloom";
inline constexpr const char* TONEMAP_EFFECT = "tonemap";
inline constexpr const char* BLOOM_UUID_TEXT = "49F15F20-D77C-4352-830E-F7E208BC7BCE";
inline constexpr const char* TONEMAP_UUID_TEXT = "6224533F-1BCB-46ce-8CD8-F19B8E028FB5";

class HostSession {
 public:
  // Loads the module (throws std::runtime_error naming the path and the reason); resources are
  // looked up beside it, texts in language ("en" or "ja").
  HostSession(const std::string& module_path, const std::string& language);
  ~HostSession();

  LoadedModule& module() { return *module_; }
  MemoryHost& host() { return *host_; }
  MemoryScene& scene() { return host_->scene(); }
  // Where long passes draw their bar; null draws none.
  void set_progress(ProgressBar* progress) { progress_ = progress; }

  // The effector index of a known effect name; throws std::runtime_error when the module does
  // not offer it.
  int32_t effector_index(const std::string& effect);
  // One effect pass on image: create_interface, set_effect_context, apply_effect, Release.
  // Answers false when the module reported an "[error] " line.
  bool apply_effect(const std::string& effect, MemoryImage& image);
  // The camera options dialog on the camera at camera_index, answered by script. Answers true
  // when the module says the record was written.
  bool edit_camera_options(int32_t camera_index, DialogScript script);
  // The delete command, run once.
  void run_delete_command();

  // True when a line beginning "[error] " has been shown since the last call.
  bool take_error();
  // Complains on stderr when the module kept or over-released host references.
  void check_references();

 private:
  std::unique_ptr<LoadedModule> module_;
  std::unique_ptr<MemoryHost> host_;
  ProgressBar* progress_ = nullptr;
  bool error_seen_ = false;
};

}  // namespace zeb::host
