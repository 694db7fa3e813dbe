// Little-endian numbers in picture files (BMP and GIF store theirs so), read
// from bytes of any alignment.
#pragma once

#include <cstdint>

namespace platform {

inline std::uint32_t le16(const std::uint8_t* bytes)
{
    return std::uint32_t{bytes[0]} | std::uint32_t{bytes[1]} << 8;
}

inline std::uint32_t le32(const std::uint8_t* bytes)
{
    return le16(bytes) | le16(bytes + 2) << 16;
}

} // namespace platform
