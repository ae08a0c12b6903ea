#include "control/CSonoprobeCtrlPropPage.h"

#include "control/CSonoprobeCtrlApp.h"

#include <new>

namespace control {

using namespace platform;

CSonoprobeCtrlPropPage::CSonoprobeCtrlPropPage() {
    CSonoprobeCtrlApp::Instance().ObjectCreated();
}

CSonoprobeCtrlPropPage::~CSonoprobeCtrlPropPage() {
    CSonoprobeCtrlApp::Instance().ObjectDestroyed();
}

HRESULT CSonoprobeCtrlPropPage::Create(REFIID iid, void** object) {
    auto* page = new (std::nothrow) CSonoprobeCtrlPropPage;
    if (!page)
        return E_OUTOFMEMORY;
    HRESULT status = page->QueryInterface(iid, object);
    page->Release();
    return status;
}

HRESULT CSonoprobeCtrlPropPage::QueryInterface(REFIID iid, void** object) {
    if (!object)
        return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IPropertyPage) {
        *object = static_cast<IPropertyPage*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

uint32_t CSonoprobeCtrlPropPage::AddRef() {
    return ++references_;
}

uint32_t CSonoprobeCtrlPropPage::Release() {
    uint32_t left = --references_;
    if (left == 0)
        delete this;
    return left;
}

HRESULT CSonoprobeCtrlPropPage::GetPageInfo(PROPPAGEINFO* info) {
    if (!info)
        return E_POINTER;
    char16_t* title = CoTaskMemString(Caption);
    if (!title)
        return E_OUTOFMEMORY;
    *info = {sizeof(PROPPAGEINFO), title, DialogSize, nullptr, nullptr, 0};
    return S_OK;
}

// The page applies nothing to its objects, so it need not hold them.
HRESULT CSonoprobeCtrlPropPage::SetObjects(uint32_t count, IUnknown* const* objects) {
    return count > 0 && !objects ? E_POINTER : S_OK;
}

HRESULT CSonoprobeCtrlPropPage::Apply() {
    return S_OK;
}

HRESULT CSonoprobeCtrlPropPage::IsPageDirty() {
    return S_FALSE;
}

} // namespace control
