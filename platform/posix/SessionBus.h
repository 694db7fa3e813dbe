// Keeping SDL's use of D-Bus from starting a session bus of its own.
#pragma once

#include <string>
#include <string_view>

namespace platform {

// SDL asks for the session bus (to keep the desktop's screensaver off while
// the toy runs). Where the session names none, libdbus starts one through
// dbus-launch: that stalls start-up for 3 s where the home folder cannot be
// written, and the bus it starts outlives the toy. So where the session
// offers no bus, this names one that does not exist, and SDL goes without.
// Call before SDL starts.
void keepSessionBusFromAutolaunching();

// A D-Bus address list without its "autolaunch:" entries.
std::string withoutAutolaunch(std::string_view addresses);

} // namespace platform
