// The session bus the toy's process may use: the one the session names, or
// the one at $XDG_RUNTIME_DIR/bus, which libdbus finds by itself; never one
// started on demand ("autolaunch:"), which only a session without a bus gets.
#include "platform/posix/SessionBus.h"

#include <sys/stat.h>

#include <cstdlib>
#include <string>
#include <string_view>

namespace platform {

namespace {

// A bus address that fails at once and starts nothing.
constexpr char noBus[] = "unix:path=/dev/null/no-session-bus";

std::string runtimeBus()
{
    const char* folder = std::getenv("XDG_RUNTIME_DIR");
    if (folder == nullptr || *folder != '/')
        return {};
    std::string path = std::string(folder) + "/bus";
    struct stat status {};
    if (stat(path.c_str(), &status) != 0 || !S_ISSOCK(status.st_mode))
        return {};
    return path;
}

} // namespace

// The address list without its "autolaunch:" entries.
std::string withoutAutolaunch(std::string_view addresses)
{
    std::string kept;
    while (!addresses.empty()) {
        const std::size_t end = addresses.find(';');
        const std::string_view entry = addresses.substr(0, end);
        if (!entry.empty() && !entry.starts_with("autolaunch:")) {
            if (!kept.empty())
                kept += ';';
            kept += entry;
        }
        addresses = end == std::string_view::npos ? std::string_view() : addresses.substr(end + 1);
    }
    return kept;
}

void keepSessionBusFromAutolaunching()
{
    const char* named = std::getenv("DBUS_SESSION_BUS_ADDRESS");
    const std::string_view address = named != nullptr ? named : "";
    std::string usable = withoutAutolaunch(address);
    if (!usable.empty() && usable == address)
        return;
    const std::string bus = runtimeBus();
    if (usable.empty() && address.empty() && !bus.empty())
        return; // libdbus finds it without being told
    if (usable.empty())
        usable = bus.empty() ? std::string(noBus) : "unix:path=" + bus;
    setenv("DBUS_SESSION_BUS_ADDRESS", usable.c_str(), 1);
}

} // namespace platform
