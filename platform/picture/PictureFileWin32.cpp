// Opening and reading a picture file on Windows without ever opening anything
// that is not a file: the name is made whole first, and a device (CON, NUL,
// COM1, ... in any folder), a pipe or any other name in the device namespaces
// is refused by name alone, before it could be opened. What is left is looked
// at before it is opened (a folder, a file past the bound) and again through
// the open handle, in case the name changed in between. Names are UTF-8, or
// in the ANSI code page when they are not valid UTF-8.
#include "platform/picture/PictureFile.h"

#include <windows.h>

#include <algorithm>
#include <cwctype>
#include <string>

namespace platform {

namespace {

std::wstring widen(const char* name, UINT codePage, DWORD flags)
{
    const int length = MultiByteToWideChar(codePage, flags, name, -1, nullptr, 0);
    if (length <= 0)
        return {};
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    if (MultiByteToWideChar(codePage, flags, name, -1, wide.data(), length) != length)
        return {};
    wide.resize(static_cast<std::size_t>(length - 1));
    return wide;
}

std::wstring fullPath(const std::wstring& name)
{
    const DWORD length = GetFullPathNameW(name.c_str(), 0, nullptr, nullptr);
    if (length == 0)
        return {};
    std::wstring full(length, L'\0');
    const DWORD written = GetFullPathNameW(name.c_str(), length, full.data(), nullptr);
    if (written == 0 || written >= length)
        return {};
    full.resize(written);
    return full;
}

bool startsWith(const std::wstring& text, const wchar_t* prefix)
{
    return text.rfind(prefix, 0) == 0;
}

// A made-whole name that can only be a file on a drive or a share: "C:\...",
// "\\server\share\...", or the same behind "\\?\". Windows makes device names
// whole as "\\.\CON", and pipes and other devices are only reached through
// "\\.\" or "\\?\" names.
bool namesAFileOnADisk(const std::wstring& full)
{
    std::wstring rest = full;
    if (startsWith(rest, L"\\\\?\\UNC\\"))
        rest = L"\\\\" + rest.substr(8);
    else if (startsWith(rest, L"\\\\?\\"))
        rest = rest.substr(4);
    if (rest.size() >= 3 && std::iswalpha(rest[0]) && rest[1] == L':' && rest[2] == L'\\')
        return true;
    return startsWith(rest, L"\\\\") && !startsWith(rest, L"\\\\.\\") && !startsWith(rest, L"\\\\?\\");
}

Status statusOfError(DWORD error)
{
    return error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION
               ? Status::AccessDenied
               : Status::FileNotFound;
}

Status statusOfKind(DWORD attributes, std::uint64_t size)
{
    if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        return Status::AccessDenied;
    if (attributes & FILE_ATTRIBUTE_DEVICE)
        return Status::UnknownImageFormat;
    return size > PictureFile::maxBytes ? Status::UnknownImageFormat : Status::Ok;
}

} // namespace

PictureFile::PictureFile(const char* fileName)
{
    if (!fileName || !*fileName)
        return;
    std::wstring name = widen(fileName, CP_UTF8, MB_ERR_INVALID_CHARS);
    if (name.empty())
        name = widen(fileName, CP_ACP, 0);
    const std::wstring full = name.empty() ? std::wstring() : fullPath(name);
    if (full.empty())
        return;
    if (!namesAFileOnADisk(full)) {
        openStatus = Status::UnknownImageFormat;
        return;
    }
    WIN32_FILE_ATTRIBUTE_DATA named{};
    if (!GetFileAttributesExW(full.c_str(), GetFileExInfoStandard, &named)) {
        openStatus = statusOfError(GetLastError());
        return;
    }
    const auto namedSize = (static_cast<std::uint64_t>(named.nFileSizeHigh) << 32) | named.nFileSizeLow;
    if ((openStatus = statusOfKind(named.dwFileAttributes, namedSize)) != Status::Ok)
        return;
    // Should the name lead to a pipe after all, its server may not act as us.
    HANDLE opened =
        CreateFileW(full.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | SECURITY_SQOS_PRESENT | SECURITY_IDENTIFICATION, nullptr);
    if (opened == INVALID_HANDLE_VALUE) {
        openStatus = statusOfError(GetLastError());
        return;
    }
    BY_HANDLE_FILE_INFORMATION info{};
    if (GetFileType(opened) != FILE_TYPE_DISK || !GetFileInformationByHandle(opened, &info)) {
        openStatus = Status::UnknownImageFormat;
        CloseHandle(opened);
        return;
    }
    fileSize = (static_cast<std::uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    if ((openStatus = statusOfKind(info.dwFileAttributes, fileSize)) != Status::Ok) {
        fileSize = 0;
        CloseHandle(opened);
        return;
    }
    handle = opened;
}

PictureFile::~PictureFile()
{
    if (handle)
        CloseHandle(handle);
}

std::size_t PictureFile::readFrom(std::uint64_t offset, void* buffer, std::size_t count)
{
    if (!handle || offset >= maxBytes)
        return 0;
    count = static_cast<std::size_t>(std::min<std::uint64_t>(count, maxBytes - offset));
    std::size_t done = 0;
    while (done < count) {
        // Reads at an offset, as pread does: the handle's own position is not used.
        OVERLAPPED at{};
        at.Offset = static_cast<DWORD>(offset + done);
        at.OffsetHigh = static_cast<DWORD>((offset + done) >> 32);
        const auto ask = static_cast<DWORD>(std::min<std::size_t>(count - done, 1u << 30));
        DWORD got = 0;
        if (!ReadFile(handle, static_cast<char*>(buffer) + done, ask, &got, &at)) {
            if (GetLastError() != ERROR_HANDLE_EOF)
                readFailed = true;
            break;
        }
        if (got == 0)
            break;
        done += got;
    }
    return done;
}

} // namespace platform
