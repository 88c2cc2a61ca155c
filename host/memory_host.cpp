#include "host/memory_host.hpp"

#include <sys/mman.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <sstream>
#include <stdexcept>

namespace zeb::host {

// --- images ---

namespace {

// Large pixel stores are asked for huge pages before their first touch: an effector that walks
// the image column by column (the tonemap does) meets a new row, and so a new 4 KiB page, at
// every pixel, which on ordinary pages costs a page-table walk per access.
void prefer_huge_pages(std::vector<float>& store, std::size_t count) {
  constexpr std::size_t HUGE_PAGE = std::size_t{2} << 20;
  store.reserve(count);
  const auto begin = reinterpret_cast<std::uintptr_t>(store.data());
  const std::uintptr_t first = (begin + HUGE_PAGE - 1) & ~(HUGE_PAGE - 1);
  const std::uintptr_t last = (begin + count * sizeof(float)) & ~(HUGE_PAGE - 1);
  if (last > first) madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
}

// Floats of padding after every row: one cache line (see pitch_).
constexpr std::size_t ROW_PADDING = 16;

}  // namespace

MemoryImage::MemoryImage(RefLedger& ledger, int32_t width, int32_t height, bool transient)
    : Counted<HostImage>(ledger, transient),
      width_(width),
      height_(height),
      pitch_(static_cast<std::size_t>(width > 0 ? width : 0) * 4 + ROW_PADDING) {
  const std::size_t count = height > 0 && width > 0 ? static_cast<std::size_t>(height) * pitch_ : 0;
  prefer_huge_pages(store_, count);
  store_.assign(count, 0.0f);
}

std::vector<float> MemoryImage::pixels() const {
  const std::size_t row = static_cast<std::size_t>(width_ > 0 ? width_ : 0) * 4;
  std::vector<float> packed;
  packed.reserve(row * static_cast<std::size_t>(height_ > 0 ? height_ : 0));
  for (int32_t y = 0; y < height_ && row > 0; ++y) {
    const float* first = &store_[static_cast<std::size_t>(y) * pitch_];
    packed.insert(packed.end(), first, first + row);
  }
  return packed;
}

void MemoryImage::set_pixels(const std::vector<float>& packed) {
  const std::size_t row = static_cast<std::size_t>(width_ > 0 ? width_ : 0) * 4;
  const std::size_t rows = static_cast<std::size_t>(height_ > 0 ? height_ : 0);
  if (packed.size() != row * rows) {
    std::ostringstream what;
    what << label << ": " << packed.size() << " floats for a " << width_ << "x" << height_
         << " image";
    throw std::invalid_argument(what.str());
  }
  for (std::size_t y = 0; y < rows && row > 0; ++y)
    std::copy_n(&packed[y * row], row, &store_[y * pitch_]);
}

namespace {

// Out of line and cold, so that the bounds test of every pixel access stays a few instructions
// inlined into the accessors.
[[noreturn]] __attribute__((noinline, cold)) void throw_outside(const std::string& label, int32_t x,
                                                                int32_t y, int32_t width,
                                                                int32_t height) {
  std::ostringstream what;
  what << label << ": pixel (" << x << ", " << y << ") outside " << width << "x" << height;
  throw std::out_of_range(what.str());
}

inline std::size_t pixel_offset(int32_t x, int32_t y, int32_t width, int32_t height,
                                std::size_t pitch, const std::string& label) {
  if (x < 0 || y < 0 || x >= width || y >= height) throw_outside(label, x, y, width, height);
  return static_cast<std::size_t>(y) * pitch + static_cast<std::size_t>(x) * 4;
}

}  // namespace

std::size_t MemoryImage::index(int32_t x, int32_t y) const {
  return pixel_offset(x, y, width_, height_, pitch_, label);
}

ImageSize MemoryImage::image_size(void*) {
  ++size_queries;
  if (journal) journal->push_back("image_size " + label);
  return {width_, height_};
}

void MemoryImage::get_pixel_rgba(int32_t x, int32_t y, float* rgba, void*) {
  std::memcpy(rgba, &store_[pixel_offset(x, y, width_, height_, pitch_, label)], 4 * sizeof(float));
  ++pixel_reads;
  if (--progress_countdown_ == 0) report_progress();
}

void MemoryImage::set_pixel_rgba(int32_t x, int32_t y, const float* rgba, void*) {
  std::memcpy(&store_[pixel_offset(x, y, width_, height_, pitch_, label)], rgba, 4 * sizeof(float));
  ++pixel_writes;
  if (--progress_countdown_ == 0) report_progress();
}

void MemoryImage::set_progress_hook(std::function<void(const MemoryImage&)> hook, int64_t step) {
  progress_hook_ = std::move(hook);
  progress_step_ = progress_hook_ && step > 0 ? step : INT64_MAX;
  progress_countdown_ = progress_step_;
}

void MemoryImage::report_progress() {
  progress_countdown_ = progress_step_;
  if (progress_hook_) progress_hook_(*this);
}

// --- attribute streams ---

MemoryStream::MemoryStream(RefLedger& ledger, std::vector<uint8_t>& bytes, Journal* log)
    : Counted<AttributeStream>(ledger, true), bytes_(bytes) {
  journal = log;
  label = "stream";
}

bool MemoryStream::read_word(uint32_t& word) {
  if (bytes_.size() - cursor_ < 4 || cursor_ > bytes_.size()) return false;
  word = 0;
  for (int i = 3; i >= 0; --i) word = (word << 8) | bytes_[cursor_ + static_cast<std::size_t>(i)];
  cursor_ += 4;
  return true;
}

void MemoryStream::write_word(uint32_t word) {
  for (int i = 0; i < 4; ++i) bytes_.push_back(static_cast<uint8_t>(word >> (8 * i)));
}

void MemoryStream::read_int(int32_t* value, void*) {
  if (journal) journal->push_back("read_int");
  uint32_t word;
  if (read_word(word)) *value = static_cast<int32_t>(word);
}

void MemoryStream::read_float(float* value, void*) {
  if (journal) journal->push_back("read_float");
  uint32_t word;
  if (read_word(word)) std::memcpy(value, &word, sizeof word);
}

void MemoryStream::write_int(const int32_t* value, void*) {
  if (journal) journal->push_back("write_int");
  write_word(static_cast<uint32_t>(*value));
}

void MemoryStream::write_float(const float* value, void*) {
  if (journal) journal->push_back("write_float");
  uint32_t word;
  std::memcpy(&word, value, sizeof word);
  write_word(word);
}

// --- cameras and scene ---

MemoryCamera::MemoryCamera(RefLedger& ledger, std::string camera_name, Journal* journal)
    : Counted<Camera>(ledger), name(std::move(camera_name)) {
  this->journal = journal;
  label = name;
}

AttributeStream* MemoryCamera::find_stream(int32_t flags, int32_t stream_id, void*) {
  if (journal)
    journal->push_back("find_stream " + name + " " + std::to_string(flags) + " " +
                       std::to_string(stream_id));
  auto found = streams.find(stream_id);
  if (found == streams.end()) return nullptr;
  auto* stream = new MemoryStream(ledger(), found->second, journal);
  stream->AddRef();
  return stream;
}

AttributeStream* MemoryCamera::create_stream(int32_t flags, int32_t stream_id, void*) {
  if (journal)
    journal->push_back("create_stream " + name + " " + std::to_string(flags) + " " +
                       std::to_string(stream_id));
  std::vector<uint8_t>& bytes = streams[stream_id];
  bytes.clear();
  auto* stream = new MemoryStream(ledger(), bytes, journal);
  stream->AddRef();
  return stream;
}

void MemoryCamera::delete_stream(int32_t camera_index, int32_t stream_id, void*) {
  if (journal)
    journal->push_back("delete_stream " + name + " " + std::to_string(camera_index) + " " +
                       std::to_string(stream_id));
  streams.erase(stream_id);
}

MemoryScene::MemoryScene(RefLedger& ledger, Journal* journal)
    : Counted<Scene>(ledger), ledger_(ledger) {
  this->journal = journal;
  label = "scene";
}

int32_t MemoryScene::camera_count(void*) {
  if (journal) journal->push_back("camera_count");
  return size();
}

int32_t MemoryScene::active_camera_index(void*) {
  if (journal) journal->push_back("active_camera_index");
  return active_index;
}

Camera* MemoryScene::camera_at(int32_t index, void*) {
  if (journal) journal->push_back("camera_at " + std::to_string(index));
  if (index < 0 || index >= size())
    throw std::out_of_range("scene: no camera at index " + std::to_string(index));
  MemoryCamera* camera = cameras_[static_cast<std::size_t>(index)].get();
  camera->AddRef();
  return camera;
}

MemoryCamera& MemoryScene::add_camera(std::string name) {
  cameras_.push_back(std::make_unique<MemoryCamera>(ledger_, std::move(name), journal));
  return *cameras_.back();
}

// --- dialogs ---

MemoryDialog::MemoryDialog(RefLedger& ledger, const Uuid& dialog_id, DialogScript script,
                           Journal* journal)
    : Counted<HostDialog>(ledger, true), id(dialog_id), script_(std::move(script)) {
  this->journal = journal;
  label = "dialog";
}

void MemoryDialog::set_dialog_title(const char* text, void*) {
  if (journal) journal->push_back("set_dialog_title");
  title = text;
}

int32_t MemoryDialog::append_dialog_item(int32_t kind, const char* label, int32_t item_id, void*) {
  if (journal) journal->push_back("append_dialog_item " + std::to_string(kind));
  Item item{kind, label, item_id, {}, 0, 0.0};
  if (kind == CHOICE_ITEM) {
    std::string text = label;
    std::size_t slash = text.find('/');
    while (slash != std::string::npos) {
      const std::size_t next = text.find('/', slash + 1);
      item.choices.push_back(
          text.substr(slash + 1, next == std::string::npos ? std::string::npos : next - slash - 1));
      slash = next;
    }
  }
  items.push_back(std::move(item));
  return static_cast<int32_t>(items.size() - 1);
}

void MemoryDialog::set_dialog_responder(sxsdk::plugin_interface* responder, void*) {
  if (journal) journal->push_back("set_dialog_responder");
  responder_ = responder;
}

bool MemoryDialog::ask_dialog(int32_t, void*) {
  if (journal) journal->push_back("ask_dialog");
  shown = true;
  if (responder_) responder_->load_dialog_data(*this, nullptr);
  const bool confirmed = script_ ? script_(*this) : false;
  shown = false;
  return confirmed;
}

MemoryDialog::Item& MemoryDialog::item_at(int32_t item) {
  if (item < 0 || item >= static_cast<int32_t>(items.size()))
    throw std::out_of_range("dialog: no item " + std::to_string(item));
  return items[static_cast<std::size_t>(item)];
}

void MemoryDialog::get_item_int(int32_t item, int32_t* value, void*) {
  if (journal) journal->push_back("get_item_int " + std::to_string(item));
  *value = item_at(item).int_value;
}
void MemoryDialog::set_item_int(int32_t item, int32_t value, void*) {
  if (journal) journal->push_back("set_item_int " + std::to_string(item));
  item_at(item).int_value = value;
}
void MemoryDialog::get_item_float(int32_t item, double* value, void*) {
  if (journal) journal->push_back("get_item_float " + std::to_string(item));
  *value = item_at(item).float_value;
}
void MemoryDialog::set_item_float(int32_t item, double value, void*) {
  if (journal) journal->push_back("set_item_float " + std::to_string(item));
  item_at(item).float_value = value;
}

DialogScript confirm_unchanged() {
  return [](MemoryDialog&) { return true; };
}

DialogScript cancel_dialog() {
  return [](MemoryDialog&) { return false; };
}

DialogScript confirm_with(const int32_t* shape, const double* f_value) {
  const bool has_shape = shape != nullptr, has_f = f_value != nullptr;
  const int32_t s = has_shape ? *shape : 0;
  const double f = has_f ? *f_value : 0.0;
  return [=](MemoryDialog& dialog) {
    bool shape_done = !has_shape, f_done = !has_f;
    for (MemoryDialog::Item& item : dialog.items) {
      if (!shape_done && item.kind == HostDialog::CHOICE_ITEM) {
        item.int_value = s;
        shape_done = true;
      } else if (!f_done && item.kind == HostDialog::NUMBER_ITEM) {
        item.float_value = f;
        f_done = true;
      }
    }
    return true;
  };
}

// --- effect context ---

MemoryEffectContext::MemoryEffectContext(RefLedger& ledger, MemoryImage& effect_image,
                                         Journal* journal)
    : Counted<EffectContext>(ledger), image(&effect_image) {
  this->journal = journal;
  label = "effect context";
}

HostImage* MemoryEffectContext::get_effect_image(void*) {
  if (journal) journal->push_back("get_effect_image");
  image->AddRef();
  return image;
}

// --- services ---

MemoryHost::MemoryHost(ResourceSettings settings)
    : Counted<HostServices>(ledger_storage),
      scene_(std::make_unique<MemoryScene>(ledger_storage, &calls)),
      resources_(std::make_unique<MemoryResources>(ledger_storage, std::move(settings))) {
  label = "host services";
  resources_->journal = &calls;
}

MemoryHost::~MemoryHost() = default;

void MemoryHost::show_message(const char* text, void*) {
  messages.emplace_back(text);
  if (message_sink) message_sink(text);
}

Scene* MemoryHost::get_scene(void*) {
  calls.push_back("get_scene");
  scene_->AddRef();
  return scene_.get();
}

ModuleResources* MemoryHost::get_resources(void*) {
  calls.push_back("get_resources");
  return resources_.get();
}

HostDialog* MemoryHost::create_dialog(const Uuid& id, void*) {
  calls.push_back("create_dialog");
  auto* dialog = new MemoryDialog(ledger(), id, dialog_script, &calls);
  dialog->AddRef();
  return dialog;
}

MemoryImage& MemoryHost::make_image(int32_t width, int32_t height) {
  images_.push_back(std::make_unique<MemoryImage>(ledger(), width, height));
  images_.back()->journal = &calls;
  images_.back()->label = "image";
  return *images_.back();
}

MemoryEffectContext& MemoryHost::make_effect_context(MemoryImage& image) {
  contexts_.push_back(std::make_unique<MemoryEffectContext>(ledger(), image, &calls));
  return *contexts_.back();
}

}  // namespace zeb::host
