// How much memory the process may use, checked before anything starts: under
// a small address-space limit (ulimit -v) the libraries fail in ways no
// caller can catch (a thread that cannot be made aborts GLib, a driver that
// cannot be mapped takes the GL library down with it), so the toy says so in
// one line first.
#pragma once

#include <string>

namespace platform {

// The address space the toy needs to start and play, with room to spare.
inline constexpr unsigned long long neededAddressSpace = 512ull << 20;

// Empty when the limit allows the toy to run; else one line that says why not.
std::string memoryShortfall();

// Lets every thread allocate from one malloc arena. Each thread that
// allocates otherwise reserves an arena of 64 MB of address space of its own,
// which with the GL driver's threads doubles what the toy needs. Call before
// any thread starts.
void shareOneMallocArena();

} // namespace platform
