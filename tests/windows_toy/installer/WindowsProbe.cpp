// Reads what Windows itself reads of an installed program, for the installer's
// test under Wine:
//   windows_probe icon EXE GROUP OUT.ico   the icon group as an .ico file
//   windows_probe version EXE              the version information, name=value
//   windows_probe manifest EXE             the manifest (resource 1)
//   windows_probe shortcut LNK             a shortcut's target, folder, icon
#include <objidl.h>
#include <shlobj.h>
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

std::string utf8(const std::wstring& text)
{
    const int length =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), length, nullptr, nullptr);
    return out;
}

int fail(const char* what)
{
    std::fprintf(stderr, "windows_probe: %s (error %lu)\n", what, GetLastError());
    return 1;
}

// A resource's bytes, or nothing when the module does not hold it.
std::vector<std::uint8_t> resource(HMODULE module, const wchar_t* name, const wchar_t* type)
{
    HRSRC found = FindResourceW(module, name, type);
    if (found == nullptr) {
        return {};
    }
    const auto* bytes = static_cast<const std::uint8_t*>(LockResource(LoadResource(module, found)));
    return {bytes, bytes + SizeofResource(module, found)};
}

void put16(std::vector<std::uint8_t>& out, unsigned value)
{
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void put32(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    put16(out, value & 0xFFFF);
    put16(out, value >> 16);
}

// An icon group holds a directory of 14-byte entries that name each image by
// its resource id; an .ico file holds 16-byte entries that give each image's
// offset in the file, the images following the directory in order.
int icon(HMODULE module, int group, const wchar_t* path)
{
    const std::vector<std::uint8_t> directory = resource(module, MAKEINTRESOURCEW(group), RT_GROUP_ICON);
    if (directory.size() < 6) {
        return fail("no such icon group");
    }
    const unsigned count = directory[4] | directory[5] << 8;
    if (directory.size() < 6 + 14 * count) {
        return fail("icon group directory cut short");
    }
    std::vector<std::uint8_t> file;
    std::vector<std::uint8_t> images;
    put16(file, 0);
    put16(file, 1);
    put16(file, count);
    for (unsigned i = 0; i < count; ++i) {
        const std::uint8_t* entry = &directory[6 + 14 * i];
        const unsigned id = entry[12] | entry[13] << 8;
        const std::vector<std::uint8_t> image = resource(module, MAKEINTRESOURCEW(id), RT_ICON);
        if (image.empty()) {
            return fail("icon group names a missing image");
        }
        file.insert(file.end(), entry, entry + 8);
        put32(file, static_cast<std::uint32_t>(image.size()));
        put32(file, static_cast<std::uint32_t>(6 + 16 * count + images.size()));
        images.insert(images.end(), image.begin(), image.end());
    }
    file.insert(file.end(), images.begin(), images.end());
    FILE* out = _wfopen(path, L"wb");
    if (out == nullptr || std::fwrite(file.data(), 1, file.size(), out) != file.size() || std::fclose(out) != 0) {
        return fail("cannot write the icon file");
    }
    return 0;
}

int version(const wchar_t* path)
{
    DWORD handle = 0;
    std::vector<std::uint8_t> block(GetFileVersionInfoSizeW(path, &handle));
    if (block.empty() || !GetFileVersionInfoW(path, 0, static_cast<DWORD>(block.size()), block.data())) {
        return fail("no version information");
    }
    void* value = nullptr;
    UINT length = 0;
    if (VerQueryValueW(block.data(), L"\\", &value, &length) && length >= sizeof(VS_FIXEDFILEINFO)) {
        const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
        std::printf("fixed=%lu.%lu.%lu.%lu\n", fixed->dwFileVersionMS >> 16, fixed->dwFileVersionMS & 0xFFFF,
                    fixed->dwFileVersionLS >> 16, fixed->dwFileVersionLS & 0xFFFF);
    }
    for (const wchar_t* name : {L"CompanyName", L"FileDescription", L"FileVersion", L"LegalCopyright",
                                L"OriginalFilename", L"ProductName", L"ProductVersion"}) {
        const std::wstring query = std::wstring(L"\\StringFileInfo\\040904B0\\") + name;
        if (VerQueryValueW(block.data(), query.c_str(), &value, &length) && length > 0) {
            std::printf("%s=%s\n", utf8(name).c_str(), utf8(static_cast<const wchar_t*>(value)).c_str());
        }
    }
    return 0;
}

int manifest(HMODULE module)
{
    const std::vector<std::uint8_t> text = resource(module, MAKEINTRESOURCEW(1), RT_MANIFEST);
    if (text.empty()) {
        return fail("no manifest");
    }
    std::fwrite(text.data(), 1, text.size(), stdout);
    return 0;
}

int shortcut(const wchar_t* path)
{
    IShellLinkW* link = nullptr;
    IPersistFile* file = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(&link))) ||
        FAILED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) ||
        FAILED(file->Load(path, STGM_READ))) {
        return fail("cannot read the shortcut");
    }
    wchar_t text[MAX_PATH] = {};
    int index = 0;
    link->GetPath(text, MAX_PATH, nullptr, SLGP_RAWPATH);
    std::printf("target=%s\n", utf8(text).c_str());
    text[0] = 0;
    link->GetWorkingDirectory(text, MAX_PATH);
    std::printf("folder=%s\n", utf8(text).c_str());
    text[0] = 0;
    link->GetArguments(text, MAX_PATH);
    std::printf("arguments=%s\n", utf8(text).c_str());
    text[0] = 0;
    link->GetIconLocation(text, MAX_PATH, &index);
    std::printf("icon=%s,%d\n", utf8(text).c_str(), index);
    file->Release();
    link->Release();
    return 0;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    const std::wstring command = argc > 2 ? argv[1] : L"";
    if (command == L"shortcut") {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        const int result = shortcut(argv[2]);
        CoUninitialize();
        return result;
    }
    if (command == L"version") {
        return version(argv[2]);
    }
    if (command == L"icon" && argc == 5) {
        HMODULE module = LoadLibraryExW(argv[2], nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
        return module == nullptr ? fail("cannot open the program") : icon(module, _wtoi(argv[3]), argv[4]);
    }
    if (command == L"manifest") {
        HMODULE module = LoadLibraryExW(argv[2], nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
        return module == nullptr ? fail("cannot open the program") : manifest(module);
    }
    std::fprintf(stderr, "usage: windows_probe icon EXE GROUP OUT.ico | version EXE | manifest EXE | "
                         "shortcut LNK\n");
    return 2;
}
