#pragma once
// Owners of COM objects, shell item identifiers and COM initialisation, beside the handle
// owners of handles_win.h.
#include <windows.h>
// needs windows.h first
#include <objbase.h>
#include <shtypes.h>

namespace lark {

// Releases a COM interface pointer at the end of a scope.
template <typename T>
class ComPtr {
  public:
    ComPtr() = default;
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ~ComPtr() {
        if (p_) p_->Release();
    }
    T* operator->() const { return p_; }
    T* Get() const { return p_; }
    T** Out() { return &p_; }
    void** OutVoid() { return reinterpret_cast<void**>(&p_); }

  private:
    T* p_ = nullptr;
};

// A shell item identifier list the shell allocated.
struct ItemIdList {
    ItemIdList() = default;
    ItemIdList(const ItemIdList&) = delete;
    ItemIdList& operator=(const ItemIdList&) = delete;
    ~ItemIdList() { CoTaskMemFree(pidl); }
    PIDLIST_ABSOLUTE pidl = nullptr;
};

// COM for the length of one call; a thread that already has it keeps its own.
struct ComScope {
    ComScope() : hr(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;
    ~ComScope() {
        if (SUCCEEDED(hr)) CoUninitialize();
    }
    HRESULT hr;
};

}  // namespace lark
