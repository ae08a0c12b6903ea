#pragma once
#include "platform/ComInterfaces.h"
#include "platform/ComPtr.h"

#include <atomic>
#include <cstdint>
#include <vector>

namespace platform {

// A stream over bytes in memory: reads start at the beginning, writes append.
class MemoryStream final : public IStream {
  public:
    static ComPtr<MemoryStream> Create(std::vector<uint8_t> bytes = {});

    HRESULT QueryInterface(REFIID iid, void** object) override;
    uint32_t AddRef() override;
    uint32_t Release() override;
    HRESULT Read(void* buffer, uint32_t count, uint32_t* read) override;
    HRESULT Write(const void* buffer, uint32_t count, uint32_t* written) override;

    const std::vector<uint8_t>& Bytes() const { return bytes_; }

  private:
    explicit MemoryStream(std::vector<uint8_t> bytes) : bytes_(std::move(bytes)) {}
    ~MemoryStream() = default;

    std::atomic<uint32_t> references_{1};
    std::vector<uint8_t> bytes_;
    size_t readPosition_ = 0;
};

} // namespace platform
