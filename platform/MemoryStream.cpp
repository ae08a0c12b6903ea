#include "platform/MemoryStream.h"

#include <algorithm>
#include <cstring>

namespace platform {

ComPtr<MemoryStream> MemoryStream::Create(std::vector<uint8_t> bytes) {
    ComPtr<MemoryStream> stream;
    *stream.Receive() = new MemoryStream(std::move(bytes));
    return stream;
}

HRESULT MemoryStream::QueryInterface(REFIID iid, void** object) {
    if (!object)
        return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IStream) {
        *object = static_cast<IStream*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

uint32_t MemoryStream::AddRef() {
    return ++references_;
}

uint32_t MemoryStream::Release() {
    uint32_t left = --references_;
    if (left == 0)
        delete this;
    return left;
}

HRESULT MemoryStream::Read(void* buffer, uint32_t count, uint32_t* read) {
    if (!buffer && count > 0)
        return E_POINTER;
    const size_t available = bytes_.size() - readPosition_;
    const size_t served = std::min<size_t>(count, available);
    if (served > 0)
        std::memcpy(buffer, bytes_.data() + readPosition_, served);
    readPosition_ += served;
    if (read)
        *read = static_cast<uint32_t>(served);
    // As the system's streams do: a short read succeeds with S_FALSE.
    return served == count ? S_OK : S_FALSE;
}

HRESULT MemoryStream::Write(const void* buffer, uint32_t count, uint32_t* written) {
    if (!buffer && count > 0)
        return E_POINTER;
    const auto* bytes = static_cast<const uint8_t*>(buffer);
    bytes_.insert(bytes_.end(), bytes, bytes + count);
    if (written)
        *written = count;
    return S_OK;
}

} // namespace platform
