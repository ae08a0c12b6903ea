#pragma once
#include "platform/ComInterfaces.h"

#include <utility>

namespace platform {

// Holds one reference to an interface and releases it at the end of its scope.
template <typename Interface> class ComPtr {
  public:
    ComPtr() = default;
    ~ComPtr() { Reset(); }
    ComPtr(const ComPtr& other) : pointer_(other.pointer_) {
        if (pointer_)
            pointer_->AddRef();
    }
    ComPtr(ComPtr&& other) noexcept : pointer_(std::exchange(other.pointer_, nullptr)) {}
    ComPtr& operator=(ComPtr other) noexcept {
        std::swap(pointer_, other.pointer_);
        return *this;
    }

    Interface* Get() const { return pointer_; }
    Interface* operator->() const { return pointer_; }
    explicit operator bool() const { return pointer_ != nullptr; }

    // Where a call stores the interface it returns (with its reference); releases the old one.
    Interface** Receive() {
        Reset();
        return &pointer_;
    }
    void** ReceiveVoid() { return reinterpret_cast<void**>(Receive()); }
    void Reset() {
        if (pointer_)
            std::exchange(pointer_, nullptr)->Release();
    }
    // Asks the object for another of its interfaces.
    template <typename Other> HRESULT As(REFIID iid, ComPtr<Other>& other) const {
        if (!pointer_)
            return E_POINTER;
        return pointer_->QueryInterface(iid, other.ReceiveVoid());
    }

  private:
    Interface* pointer_ = nullptr;
};

} // namespace platform
