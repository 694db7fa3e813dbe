// Asking a Wayland compositor for its globals with libwayland-client, on a
// connection of our own that is closed again before SDL starts.
#include "platform/wayland/WaylandProbe.h"

#include <wayland-client.h>

#include <cstdint>
#include <cstring>

namespace platform {

namespace {

void global(void* data, wl_registry*, std::uint32_t, const char* interface, std::uint32_t)
{
    auto& offer = *static_cast<WaylandOffer*>(data);
    const auto is = [interface](const char* name) { return std::strcmp(interface, name) == 0; };
    offer.compositor = offer.compositor || is("wl_compositor");
    offer.sharedMemory = offer.sharedMemory || is("wl_shm");
    offer.shell = offer.shell || is("xdg_wm_base");
    offer.seat = offer.seat || is("wl_seat");
    offer.shortcutsInhibitor = offer.shortcutsInhibitor || is("zwp_keyboard_shortcuts_inhibit_manager_v1");
}

void globalRemoved(void*, wl_registry*, std::uint32_t) {}

const wl_registry_listener registryListener{global, globalRemoved};

} // namespace

WaylandOffer probeWayland()
{
    WaylandOffer offer;
    wl_display* display = wl_display_connect(nullptr);
    if (display == nullptr)
        return offer;
    wl_registry* registry = wl_display_get_registry(display);
    WaylandOffer listed;
    if (registry != nullptr && wl_registry_add_listener(registry, &registryListener, &listed) == 0 &&
        wl_display_roundtrip(display) >= 0) {
        offer = listed;
        offer.reached = true;
    }
    if (registry != nullptr)
        wl_registry_destroy(registry);
    wl_display_disconnect(display);
    return offer;
}

} // namespace platform
