#include "platform/sdl/SdlWindows.h"

namespace platform {

void SdlWindows::registerClass(std::string_view name, WindowProcedure windowProcedure)
{
    className = name;
    procedure = windowProcedure;
}

SdlWindowRecord& SdlWindows::add(WindowHandle handle, bool fullScreen)
{
    SdlWindowRecord record;
    record.handle = handle;
    record.fullScreen = fullScreen;
    return records.emplace_back(record);
}

void SdlWindows::remove(WindowHandle handle)
{
    std::erase_if(records, [handle](const SdlWindowRecord& record) { return record.handle == handle; });
    queue.forget(handle);
}

SdlWindowRecord* SdlWindows::find(WindowHandle handle)
{
    for (SdlWindowRecord& record : records) {
        if (record.handle == handle)
            return &record;
    }
    return nullptr;
}

std::intptr_t SdlWindows::send(WindowHandle window, unsigned message, std::uintptr_t wParam, std::intptr_t lParam)
{
    if (procedure == nullptr || find(window) == nullptr)
        return 0;
    return procedure(window, message, wParam, lParam);
}

void SdlWindows::post(WindowHandle window, unsigned message, std::uintptr_t wParam, std::intptr_t lParam)
{
    queue.post({window, message, wParam, lParam});
}

void SdlWindows::reportSize(WindowHandle handle, unsigned width, unsigned height, bool sendNow)
{
    SdlWindowRecord* window = find(handle);
    if (window == nullptr || (width == window->width && height == window->height))
        return;
    window->width = width;
    window->height = height;
    const std::uintptr_t kind = window->minimized ? 1 : 0; // SIZE_MINIMIZED or SIZE_RESTORED
    if (sendNow)
        send(handle, WM_SIZE, kind, makeLParam(width, height));
    else
        post(handle, WM_SIZE, kind, makeLParam(width, height));
}

void SdlWindows::reportActivation(WindowHandle handle, unsigned activeState, bool sendNow)
{
    SdlWindowRecord* window = find(handle);
    if (window == nullptr)
        return;
    // The high word is the window's minimized state whatever the news is, so a
    // focus loss after minimizing does not wake the frame up again.
    const std::uintptr_t wParam = makeWParam(activeState, window->minimized ? 1 : 0);
    if (wParam == window->activation)
        return;
    window->activation = wParam;
    if (sendNow)
        send(handle, WM_ACTIVATE, wParam, 0);
    else
        post(handle, WM_ACTIVATE, wParam, 0);
}

} // namespace platform
