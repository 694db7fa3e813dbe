// The default-device watch: which of Windows' notices wake the sound thread,
// its COM identity, and that Windows' device enumerator takes it.
#include "platform/win32/Win32DeviceWatch.h"

#include <gtest/gtest.h>

#include <objbase.h>

using namespace platform::win32;

namespace {

bool woken(const DefaultDeviceWatch& watch)
{
    return WaitForSingleObject(watch.changed(), 0) == WAIT_OBJECT_0;
}

} // namespace

TEST(Win32DeviceWatch, OnlyANewConsolePlaybackDefaultWakesTheSoundThreadOnce)
{
    DefaultDeviceWatch watch;
    ASSERT_NE(watch.changed(), nullptr);
    EXPECT_FALSE(woken(watch));

    // Microphones, and the defaults of the other roles, are not where it plays.
    watch.OnDefaultDeviceChanged(eCapture, eConsole, L"{microphone}");
    watch.OnDefaultDeviceChanged(eRender, eCommunications, L"{headset}");
    watch.OnDefaultDeviceChanged(eRender, eMultimedia, L"{speakers}");
    watch.OnDeviceAdded(L"{speakers}");
    watch.OnDeviceRemoved(L"{speakers}");
    watch.OnDeviceStateChanged(L"{speakers}", DEVICE_STATE_UNPLUGGED);
    EXPECT_FALSE(woken(watch));

    // Two notices before the thread looks are one wake-up; a null id (the
    // last device gone) wakes it too, to find that nothing is left.
    watch.OnDefaultDeviceChanged(eRender, eConsole, L"{headphones}");
    watch.OnDefaultDeviceChanged(eRender, eConsole, L"{speakers}");
    EXPECT_TRUE(woken(watch));
    EXPECT_FALSE(woken(watch));
    watch.OnDefaultDeviceChanged(eRender, eConsole, nullptr);
    EXPECT_TRUE(woken(watch));
}

TEST(Win32DeviceWatch, IsANotificationClientToComAndNothingElse)
{
    DefaultDeviceWatch watch;
    void* object = nullptr;
    EXPECT_EQ(watch.QueryInterface(__uuidof(IMMNotificationClient), &object), S_OK);
    EXPECT_EQ(object, static_cast<IMMNotificationClient*>(&watch));
    EXPECT_EQ(watch.QueryInterface(__uuidof(IUnknown), &object), S_OK);
    EXPECT_EQ(watch.QueryInterface(IID_IDispatch, &object), E_NOINTERFACE);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(watch.QueryInterface(__uuidof(IUnknown), nullptr), E_POINTER);
    // The two references taken above, given back.
    EXPECT_EQ(watch.Release(), 2u);
    EXPECT_EQ(watch.Release(), 1u);
}

TEST(Win32DeviceWatch, WindowsDeviceEnumeratorTakesItAndGivesItBack)
{
    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED)));
    IMMDeviceEnumerator* devices = nullptr;
    ASSERT_EQ(CoCreateInstance(__uuidof(MMDeviceEnumerator), nullptr, CLSCTX_ALL, __uuidof(IMMDeviceEnumerator),
                               reinterpret_cast<void**>(&devices)),
              S_OK);
    {
        DefaultDeviceWatch watch;
        EXPECT_EQ(devices->RegisterEndpointNotificationCallback(&watch), S_OK);
        EXPECT_EQ(devices->UnregisterEndpointNotificationCallback(&watch), S_OK);
    }
    devices->Release();
    CoUninitialize();
}
