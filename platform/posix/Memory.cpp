// The address-space check and the malloc arena setting.
#include "platform/posix/Memory.h"

#include <malloc.h>
#include <sys/resource.h>

#include <string>

namespace platform {

std::string memoryShortfall()
{
    rlimit limit{};
    if (getrlimit(RLIMIT_AS, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY || limit.rlim_cur >= neededAddressSpace)
        return {};
    return "not enough memory: the address space is limited to " + std::to_string(limit.rlim_cur >> 20) +
           " MB (ulimit -v), and Zindle needs " + std::to_string(neededAddressSpace >> 20) + " MB";
}

void shareOneMallocArena()
{
    mallopt(M_ARENA_MAX, 1);
}

} // namespace platform
