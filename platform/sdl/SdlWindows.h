// The windows the SDL platform made, with what their procedure was last told
// about them, and the window class whose procedure they share. Handles are
// SDL window ids; no SDL type appears here.
#pragma once

#include "platform/Message.h"
#include "platform/sdl/MessageQueue.h"

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

struct SdlWindowRecord {
    WindowHandle handle = 0;
    bool fullScreen = false;
    bool minimized = false;
    // The last size and activation the procedure was given, so that SDL's
    // repeats of the same news are not passed on twice.
    unsigned width = 0;
    unsigned height = 0;
    std::uintptr_t activation = ~std::uintptr_t{0};
};

class SdlWindows {
public:
    explicit SdlWindows(MessageQueue& messages) : queue(messages) {}

    void registerClass(std::string_view name, WindowProcedure procedure);
    bool hasClass(std::string_view name) const { return procedure != nullptr && name == className; }
    // Forgets the procedure, for when the application it reaches may be gone.
    void forgetProcedure() { procedure = nullptr; }

    SdlWindowRecord& add(WindowHandle handle, bool fullScreen);
    void remove(WindowHandle handle);
    SdlWindowRecord* find(WindowHandle handle);
    // The window closes and signals are meant for: the first one made.
    SdlWindowRecord* mainWindow() { return records.empty() ? nullptr : &records.front(); }
    std::vector<SdlWindowRecord>& all() { return records; }

    // Calls the class's procedure at once, as the desktop system does for the
    // messages it sends rather than posts; 0 for a window that is gone.
    std::intptr_t send(WindowHandle window, unsigned message, std::uintptr_t wParam = 0, std::intptr_t lParam = 0);
    void post(WindowHandle window, unsigned message, std::uintptr_t wParam = 0, std::intptr_t lParam = 0);

    // Tells the window procedure about a new size or activation, dropping
    // what it already knows; sent at once or queued. The procedure may
    // destroy windows meanwhile, so callers look their record up again.
    void reportSize(WindowHandle window, unsigned width, unsigned height, bool sendNow);
    void reportActivation(WindowHandle window, unsigned state, bool sendNow);

private:
    MessageQueue& queue;
    std::string className;
    WindowProcedure procedure = nullptr;
    std::vector<SdlWindowRecord> records;
};

} // namespace platform
