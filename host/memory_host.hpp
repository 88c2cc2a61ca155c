// The reference host's objects, held in memory. They behave as the application's do for
// everything the module relies on, and they count every AddRef and Release in a RefLedger, so a
// test can show that an operation gives back every reference it took.
//
// Images: row 0 is the top row, as image files deliver it; pixel (x, y) is x columns from the
// left and y rows from the top. The aperture pictures are delivered the same way, so their
// bottom stored row is row 511.
//
// Attribute streams: an int32 is stored as 4 little-endian bytes, a float as its IEEE-754 bits in
// 4 little-endian bytes, in the order written. A read past the end leaves its target unchanged.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "host/resources.hpp"
#include "plugin/host.hpp"
#include "sxsdk/plugin_interface.hpp"

namespace zeb::host {

// References handed out and given back, over all objects of one host.
struct RefLedger {
  int64_t add_refs = 0;
  int64_t releases = 0;
  int64_t over_releases = 0;  // a Release that took a count below zero
  int64_t outstanding() const { return add_refs - releases; }
};

// Host calls in the order they arrive, for tests of call order. Pixel accesses are not
// recorded; they are counted by the image.
using Journal = std::vector<std::string>;

// Reference counting of the in-memory objects. The count holds only references handed to the
// module; the host's own ownership is separate. A transient object (stream, dialog, resource
// image) exists only for the module and is freed by the Release that brings it to zero.
template <class Interface>
class Counted : public Interface {
 public:
  explicit Counted(RefLedger& ledger, bool transient = false)
      : ledger_(&ledger), transient_(transient) {}
  Counted(const Counted&) = delete;
  Counted& operator=(const Counted&) = delete;
  virtual ~Counted() = default;

  ULONG AddRef() override {
    ++ledger_->add_refs;
    return static_cast<ULONG>(++count_);
  }
  ULONG Release() override {
    ++ledger_->releases;
    if (journal) journal->push_back("release " + label);
    const int32_t count = --count_;
    if (count < 0) ++ledger_->over_releases;
    if (count == 0 && transient_) delete this;
    return static_cast<ULONG>(count);
  }
  int32_t ref_count() const { return count_; }
  RefLedger& ledger() const { return *ledger_; }

  // Where Release is recorded, as "release <label>"; null records nothing.
  Journal* journal = nullptr;
  std::string label;

 private:
  RefLedger* ledger_;
  bool transient_;
  int32_t count_ = 0;
};

class MemoryImage : public Counted<HostImage> {
 public:
  MemoryImage(RefLedger& ledger, int32_t width, int32_t height, bool transient = false);

  ImageSize image_size(void* aux) override;
  void get_pixel_rgba(int32_t x, int32_t y, float* rgba, void* aux) override;
  void set_pixel_rgba(int32_t x, int32_t y, const float* rgba, void* aux) override;

  int32_t width() const { return width_; }
  int32_t height() const { return height_; }
  // Four floats per pixel, R G B A, rows from the top, packed row after row (a copy).
  std::vector<float> pixels() const;
  // Replaces every pixel; `packed` holds width x height x 4 floats as pixels() gives them.
  void set_pixels(const std::vector<float>& packed);
  // The four floats of pixel (x, y); a row's pixels lie side by side.
  float* pixel(int32_t x, int32_t y) { return &store_[index(x, y)]; }
  const float* pixel(int32_t x, int32_t y) const { return &store_[index(x, y)]; }

  int64_t pixel_reads = 0;
  int64_t pixel_writes = 0;
  int64_t size_queries = 0;

  // Calls hook after every step pixel accesses (reads and writes together), for progress
  // reports; an empty hook stops the calls. The per-pixel path only counts down, so a pass with
  // a hook costs what it costs without one.
  void set_progress_hook(std::function<void(const MemoryImage&)> hook, int64_t step);

 protected:
  std::size_t index(int32_t x, int32_t y) const;

 private:
  void report_progress();

  int32_t width_;
  int32_t height_;
  // Floats from the start of one row to the next: the row and a cache line of padding. Rows of
  // a multiple of 4 KiB (3840 pixels are 15 pages) would put every pixel of a column into the
  // same few cache sets, and an effector walking the image column by column (the tonemap does)
  // would then miss the cache at nearly every pixel.
  std::size_t pitch_;
  std::vector<float> store_;
  int64_t progress_countdown_ = INT64_MAX;
  int64_t progress_step_ = INT64_MAX;
  std::function<void(const MemoryImage&)> progress_hook_;
};

class MemoryStream : public Counted<AttributeStream> {
 public:
  MemoryStream(RefLedger& ledger, std::vector<uint8_t>& bytes, Journal* journal);

  void read_int(int32_t* value, void* aux) override;
  void read_float(float* value, void* aux) override;
  void write_int(const int32_t* value, void* aux) override;
  void write_float(const float* value, void* aux) override;

 private:
  bool read_word(uint32_t& word);
  void write_word(uint32_t word);

  std::vector<uint8_t>& bytes_;
  std::size_t cursor_ = 0;
};

class MemoryCamera : public Counted<Camera> {
 public:
  MemoryCamera(RefLedger& ledger, std::string name, Journal* journal);

  AttributeStream* find_stream(int32_t flags, int32_t stream_id, void* aux) override;
  AttributeStream* create_stream(int32_t flags, int32_t stream_id, void* aux) override;
  void delete_stream(int32_t camera_index, int32_t stream_id, void* aux) override;

  std::string name;
  // Attribute streams by id, in the host's byte encoding.
  std::map<int32_t, std::vector<uint8_t>> streams;
};

class MemoryScene : public Counted<Scene> {
 public:
  MemoryScene(RefLedger& ledger, Journal* journal);

  int32_t camera_count(void* aux) override;
  int32_t active_camera_index(void* aux) override;
  Camera* camera_at(int32_t index, void* aux) override;

  MemoryCamera& add_camera(std::string name);
  MemoryCamera& camera(int32_t index) { return *cameras_.at(static_cast<std::size_t>(index)); }
  int32_t size() const { return static_cast<int32_t>(cameras_.size()); }

  int32_t active_index = 0;

 private:
  RefLedger& ledger_;
  std::vector<std::unique_ptr<MemoryCamera>> cameras_;
};

class MemoryDialog;
// Plays the user's part while a dialog is shown, after the responder has filled it: sets the
// items it wants and answers true to confirm, false to cancel.
using DialogScript = std::function<bool(MemoryDialog&)>;

class MemoryDialog : public Counted<HostDialog> {
 public:
  struct Item {
    int32_t kind;
    std::string label;
    int32_t item_id;
    std::vector<std::string> choices;  // kind 2: the label's "/"-separated tail
    int32_t int_value = 0;
    double float_value = 0.0;
  };

  MemoryDialog(RefLedger& ledger, const Uuid& id, DialogScript script, Journal* journal);

  void set_dialog_title(const char* title, void* aux) override;
  int32_t append_dialog_item(int32_t kind, const char* label, int32_t item_id, void* aux) override;
  void set_dialog_responder(sxsdk::plugin_interface* responder, void* aux) override;
  bool ask_dialog(int32_t flags, void* aux) override;
  void get_item_int(int32_t item, int32_t* value, void* aux) override;
  void set_item_int(int32_t item, int32_t value, void* aux) override;
  void get_item_float(int32_t item, double* value, void* aux) override;
  void set_item_float(int32_t item, double value, void* aux) override;

  Uuid id;
  std::string title;
  std::vector<Item> items;
  bool shown = false;  // true while ask_dialog runs

 private:
  Item& item_at(int32_t item);

  sxsdk::plugin_interface* responder_ = nullptr;
  DialogScript script_;
};

// Scripts for the usual answers.
DialogScript confirm_unchanged();
DialogScript cancel_dialog();
// Sets the first choice item to shape and the first number item to f_value where given.
DialogScript confirm_with(const int32_t* shape, const double* f_value);

class MemoryEffectContext : public Counted<EffectContext> {
 public:
  MemoryEffectContext(RefLedger& ledger, MemoryImage& image, Journal* journal);
  HostImage* get_effect_image(void* aux) override;
  MemoryImage* image;
};

namespace detail {
struct LedgerHolder {
  RefLedger ledger_storage;
};
}  // namespace detail

// The host's services: message window, scene, module resources, dialogs.
class MemoryHost : private detail::LedgerHolder, public Counted<HostServices> {
 public:
  explicit MemoryHost(ResourceSettings resources = {});
  ~MemoryHost() override;

  void show_message(const char* text, void* aux) override;
  Scene* get_scene(void* aux) override;
  ModuleResources* get_resources(void* aux) override;
  HostDialog* create_dialog(const Uuid& id, void* aux) override;

  RefLedger& ledger() { return ledger_storage; }
  MemoryScene& scene() { return *scene_; }
  MemoryResources& resources() { return *resources_; }

  // A fresh image and an effect context around it, owned by the host.
  MemoryImage& make_image(int32_t width, int32_t height);
  MemoryEffectContext& make_effect_context(MemoryImage& image);

  std::vector<std::string> messages;
  std::function<void(const char*)> message_sink;  // also called for every line when set
  DialogScript dialog_script = confirm_unchanged();
  Journal calls;  // host calls in order, releases included

 private:
  std::unique_ptr<MemoryScene> scene_;
  std::unique_ptr<MemoryResources> resources_;
  std::vector<std::unique_ptr<MemoryImage>> images_;
  std::vector<std::unique_ptr<MemoryEffectContext>> contexts_;
};

}  // namespace zeb::host
