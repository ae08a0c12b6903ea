#pragma once
#include "platform/ComVariant.h"

namespace platform {

// A VARIANT cleared at the end of its scope: a call's result, an argument being built.
class ScopedVariant {
  public:
    ScopedVariant() { VariantInit(&value_); }
    ~ScopedVariant() { VariantClear(&value_); }
    ScopedVariant(const ScopedVariant&) = delete;
    ScopedVariant& operator=(const ScopedVariant&) = delete;

    VARIANT* get() { return &value_; }
    const VARIANT& operator*() const { return value_; }
    const VARIANT* operator->() const { return &value_; }

  private:
    VARIANT value_;
};

} // namespace platform
