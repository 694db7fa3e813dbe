// What /proc tells of a process, for the benchmarks.
#pragma once

#include <cstdio>
#include <cstring>

namespace bench {

// A field of /proc/self/status (or of another process's) in kilobytes; -1 if absent.
inline long statusKilobytes(const char* field, const char* path = "/proc/self/status")
{
    std::FILE* file = std::fopen(path, "r");
    if (!file)
        return -1;
    char line[256];
    long value = -1;
    const std::size_t length = std::strlen(field);
    while (std::fgets(line, sizeof line, file)) {
        if (std::strncmp(line, field, length) == 0 && line[length] == ':') {
            std::sscanf(line + length + 1, "%ld", &value);
            break;
        }
    }
    std::fclose(file);
    return value;
}

} // namespace bench
