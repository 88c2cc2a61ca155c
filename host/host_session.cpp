#include "host/host_session.hpp"

#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <cstring>
#include <stdexcept>

#include "host/module_info.hpp"
#include "plugin/identifiers.hpp"
#include "sxsdk/plugin_interface.hpp"

namespace zeb::host {
namespace {

// The host's own hold on an interface object the module created: one reference, given back on
// every path, also when the module's call throws.
struct InterfaceHold {
  sxsdk::plugin_interface* object = nullptr;
  InterfaceHold() = default;
  InterfaceHold(const InterfaceHold&) = delete;
  InterfaceHold& operator=(const InterfaceHold&) = delete;
  ~InterfaceHold() {
    if (object) object->Release();
  }
};

std::string upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

void create(LoadedModule& module, MemoryHost& host, const InterfaceKindId& kind, int32_t index,
            const char* what, InterfaceHold& hold) {
  module.create_interface(&kind, index, &hold.object, &host, nullptr);
  if (!hold.object)
    throw std::runtime_error(module.path() + ": the module created no " + what + " interface");
}

std::string one_line(std::string text) {
  for (char& c : text)
    if (c == '\n' || c == '\r') c = ' ';
  while (!text.empty() && text.back() == ' ') text.pop_back();
  return text;
}

// What the module lets escape (allocation failures, the image library's errors, the SDK's
// reserved operations' texts) ends the command with one line naming the operation.
template <class Call>
void call_module(const std::string& what, Call call) {
  try {
    call();
  } catch (const std::exception& error) {
    throw std::runtime_error(what + " failed: " + one_line(error.what()));
  } catch (const char* text) {
    throw std::runtime_error(what + " failed: " + one_line(text ? text : "(no text)"));
  }
}

// Pixel accesses an effect pass makes, per pixel: the bloom reads and writes each pixel once;
// the tonemap reads twice (mean pass, tonemap pass) and writes once.
int64_t accesses_per_pixel(const std::string& effect) { return effect == BLOOM_EFFECT ? 2 : 3; }

}  // namespace

HostSession::HostSession(const std::string& module_path, const std::string& language)
    : module_(std::make_unique<LoadedModule>(module_path)),
      host_(std::make_unique<MemoryHost>(
          ResourceSettings{resource_dir_for_module(module_path), language})) {
  // The bar shares the terminal with the message lines only when stdout is that terminal too.
  host_->message_sink = [this, terminal = ::isatty(STDOUT_FILENO) == 1](const char* text) {
    if (progress_ && terminal) progress_->interrupt();
    std::fputs(text, stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
    if (std::strncmp(text, "[error] ", 8) == 0) error_seen_ = true;
  };
}

HostSession::~HostSession() {
  // The host's objects must go before the module's code is unloaded.
  host_.reset();
  module_.reset();
}

int32_t HostSession::effector_index(const std::string& effect) {
  const char* wanted = effect == BLOOM_EFFECT     ? BLOOM_UUID_TEXT
                       : effect == TONEMAP_EFFECT ? TONEMAP_UUID_TEXT
                                                  : nullptr;
  if (!wanted) throw std::runtime_error("unknown effect \"" + effect + "\" (bloom or tonemap)");
  const int32_t count = module_->has_interface(&EFFECTOR_KIND_ID, host_.get());
  for (int32_t index = 0; index < count; ++index) {
    if (uuid_to_text(module_->get_uuid(&EFFECTOR_KIND_ID, index, nullptr)) == upper(wanted))
      return index;
  }
  throw std::runtime_error(module_->path() + ": the module offers no " + effect + " effector");
}

bool HostSession::apply_effect(const std::string& effect, MemoryImage& image) {
  const int32_t index = effector_index(effect);
  MemoryEffectContext& context = host_->make_effect_context(image);
  if (progress_ && progress_->enabled()) {
    const int64_t start = image.pixel_reads + image.pixel_writes;
    const int64_t total =
        accesses_per_pixel(effect) * int64_t{image.width()} * int64_t{image.height()};
    progress_->begin(effect, total);
    image.set_progress_hook(
        [this, start](const MemoryImage& seen) {
          progress_->update(seen.pixel_reads + seen.pixel_writes - start);
        },
        std::max<int64_t>(total / 200, 1));
  }
  struct Unhook {
    MemoryImage& image;
    ProgressBar* progress;
    ~Unhook() {
      image.set_progress_hook(nullptr, 0);
      if (progress) progress->finish();
    }
  } unhook{image, progress_};

  take_error();
  InterfaceHold effector;
  call_module("the " + effect + " effector", [&] {
    create(*module_, *host_, EFFECTOR_KIND_ID, index, "effector", effector);
    auto* object = static_cast<sxsdk::effector_interface*>(effector.object);
    object->set_effect_context(&context, nullptr);
    object->apply_effect(nullptr);
  });
  return !take_error();
}

bool HostSession::edit_camera_options(int32_t camera_index, DialogScript script) {
  if (camera_index < 0 || camera_index >= scene().size())
    throw std::runtime_error("no camera " + std::to_string(camera_index) + " (the scene has " +
                             std::to_string(scene().size()) + ")");
  host_->dialog_script = std::move(script);
  InterfaceHold attribute;
  bool written = false;
  call_module("the camera options dialog", [&] {
    create(*module_, *host_, ATTRIBUTE_KIND_ID, 0, "camera attribute", attribute);
    auto* object = static_cast<sxsdk::attribute_interface*>(attribute.object);
    written = object->edit_camera_options(scene().camera(camera_index), nullptr);
  });
  host_->dialog_script = confirm_unchanged();
  return written;
}

void HostSession::run_delete_command() {
  InterfaceHold command;
  call_module("the delete command", [&] {
    create(*module_, *host_, PLUGIN_KIND_ID, 0, "plugin command", command);
    command.object->run_command(*host_, nullptr);
  });
}

bool HostSession::take_error() {
  const bool seen = error_seen_;
  error_seen_ = false;
  return seen;
}

void HostSession::check_references() {
  const RefLedger& ledger = host_->ledger();
  if (ledger.outstanding() != 0 || ledger.over_releases != 0)
    std::fprintf(stderr,
                 "zeb-host: warning: the module left %lld host references unreleased and released "
                 "%lld too many\n",
                 static_cast<long long>(ledger.outstanding()),
                 static_cast<long long>(ledger.over_releases));
}

}  // namespace zeb::host
