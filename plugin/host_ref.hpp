// HostRef<T>: holds one reference to a host object and releases it when the holder goes out of
// scope, also while an exception unwinds. Taking over a reference the host handed out is spelt
// out with the adopt tag; constructing from a plain pointer adds a reference of its own.
#pragma once

#include <utility>

namespace zeb {

struct adopt_ref_t {
  explicit adopt_ref_t() = default;
};
inline constexpr adopt_ref_t adopt_ref{};

template <class T>
class HostRef {
 public:
  HostRef() noexcept = default;
  HostRef(T* object, adopt_ref_t) noexcept : object_(object) {}
  explicit HostRef(T* object) noexcept : object_(object) {
    if (object_) object_->AddRef();
  }
  HostRef(const HostRef& other) noexcept : HostRef(other.object_) {}
  HostRef(HostRef&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
  HostRef& operator=(HostRef other) noexcept {
    std::swap(object_, other.object_);
    return *this;
  }
  ~HostRef() { reset(); }

  // Releases the held reference now; the holder is empty afterwards.
  void reset() noexcept {
    if (T* object = std::exchange(object_, nullptr)) object->Release();
  }

  T* get() const noexcept { return object_; }
  T* operator->() const noexcept { return object_; }
  T& operator*() const noexcept { return *object_; }
  explicit operator bool() const noexcept { return object_ != nullptr; }

 private:
  T* object_ = nullptr;
};

}  // namespace zeb
