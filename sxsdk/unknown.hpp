// The root of every interface object the host and a plug-in exchange: the COM-style
// IUnknown and the reference-counted unknown_interface that plug-in objects derive from.
#pragma once

#include <cstdint>

// Windows GUID layout: a 32-bit field, two 16-bit fields (little-endian in memory), eight bytes.
struct GUID {
  uint32_t Data1;
  uint16_t Data2;
  uint16_t Data3;
  uint8_t Data4[8];
};
using IID = GUID;
using HRESULT = int32_t;
using ULONG = uint32_t;

constexpr HRESULT S_OK = 0;
constexpr HRESULT E_NOINTERFACE = static_cast<HRESULT>(0x80004002u);

class IUnknown {
 public:
  virtual HRESULT QueryInterface(const IID& iid, void** object) = 0;
  virtual ULONG AddRef() = 0;
  virtual ULONG Release() = 0;

 protected:
  ~IUnknown() = default;
};

// Reference counting for plug-in objects. The count is a plain integer: the host makes every
// call of one object on one thread, so no atomics are needed (nor wanted, they cost).
class unknown_interface : public IUnknown {
 public:
  unknown_interface() = default;
  unknown_interface(const unknown_interface&) = delete;
  unknown_interface& operator=(const unknown_interface&) = delete;

  // No interface is reachable by query; the out-argument is left as the caller set it.
  HRESULT QueryInterface(const IID&, void**) override { return E_NOINTERFACE; }
  ULONG AddRef() override { return static_cast<ULONG>(++ref_count_); }
  ULONG Release() override {
    if (--ref_count_ != 0) return static_cast<ULONG>(ref_count_);
    delete this;
    return 0;
  }
  virtual ~unknown_interface() = default;
  virtual bool is_unknown_interface() const { return true; }

  int32_t ref_count() const { return ref_count_; }

 private:
  int32_t ref_count_ = 0;
};
