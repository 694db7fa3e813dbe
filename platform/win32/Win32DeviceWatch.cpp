// The default-device watch: a COM callback that only sets an event.
#include "platform/win32/Win32DeviceWatch.h"

namespace platform::win32 {

DefaultDeviceWatch::DefaultDeviceWatch() : event(CreateEventW(nullptr, FALSE, FALSE, nullptr)) {}

DefaultDeviceWatch::~DefaultDeviceWatch()
{
    if (event != nullptr)
        CloseHandle(event);
}

HRESULT STDMETHODCALLTYPE DefaultDeviceWatch::QueryInterface(REFIID id, void** object)
{
    if (object == nullptr)
        return E_POINTER;
    if (IsEqualIID(id, __uuidof(IUnknown)) || IsEqualIID(id, __uuidof(IMMNotificationClient))) {
        *object = static_cast<IMMNotificationClient*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE DefaultDeviceWatch::AddRef()
{
    return ++references;
}

ULONG STDMETHODCALLTYPE DefaultDeviceWatch::Release()
{
    return --references;
}

HRESULT STDMETHODCALLTYPE DefaultDeviceWatch::OnDefaultDeviceChanged(EDataFlow flow, ERole role, LPCWSTR)
{
    if (flow == eRender && role == eConsole && event != nullptr)
        SetEvent(event);
    return S_OK;
}

} // namespace platform::win32
