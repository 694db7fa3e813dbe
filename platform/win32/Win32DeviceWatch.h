// Tells the sound thread when Windows makes another device the default for
// playing (headphones plugged in, a device chosen in the sound settings, the
// first device arriving on a machine that had none), so that the toy follows
// it as every other program does instead of playing on where it started.
#pragma once

#include <windows.h>

#include <mmdeviceapi.h>

#include <atomic>

namespace platform::win32 {

class DefaultDeviceWatch final : public IMMNotificationClient {
public:
    DefaultDeviceWatch();
    ~DefaultDeviceWatch();
    DefaultDeviceWatch(const DefaultDeviceWatch&) = delete;
    DefaultDeviceWatch& operator=(const DefaultDeviceWatch&) = delete;

    // Auto-reset event, set when the console's default render device changed
    // since it was last waited on. Null when it could not be made.
    HANDLE changed() const { return event; }

    // IUnknown. The watch lives on the sound thread's stack and is
    // unregistered before it ends; the count is kept for COM's sake only.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // IMMNotificationClient, called on a thread of Windows' own: only the
    // default render device for the console role matters, the one the
    // sound thread opens.
    HRESULT STDMETHODCALLTYPE OnDefaultDeviceChanged(EDataFlow flow, ERole role, LPCWSTR id) override;
    HRESULT STDMETHODCALLTYPE OnDeviceStateChanged(LPCWSTR, DWORD) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnDeviceAdded(LPCWSTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnDeviceRemoved(LPCWSTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnPropertyValueChanged(LPCWSTR, const PROPERTYKEY) override { return S_OK; }

private:
    HANDLE event;
    std::atomic<ULONG> references{1};
};

} // namespace platform::win32
