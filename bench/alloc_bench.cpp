// Heap allocations per drawn frame and per key-down: budget exactly 0 for the
// program's own code. The real Zindle scene runs in the real application loop
// (GLApplication::run) on a hidden 1024x768 GL context; after a warm-up the
// benchmark counts every malloc, calloc, realloc, aligned allocation and
// operator new made in the process over 1000 frames with cubes in flight,
// over 10000 key-downs back to back (letters, digits, the space bar, keys
// without a cube) and over 1000 frames with ten keys before each.
//
// Mesa's software renderer has threads and may allocate inside GL calls, so
// each counted allocation is traced back to the first caller outside the C
// and C++ runtimes: the program itself (this executable) or a shared library
// (the GL driver, SDL, X11). Only the first kind counts against the budget;
// the second is listed by library and symbol so it can be told apart.
//
//   LIBGL_ALWAYS_SOFTWARE=1 xvfb-run -a -s "-screen 0 1024x768x24" ./alloc_bench
#include "bench/support/BenchPlatform.h"
#include "bench/support/RunToy.h"
#include "bench/support/Stats.h"
#include "game/Zindle.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cxxabi.h>
#include <dlfcn.h>
#include <execinfo.h>
#include <new>

// glibc's own allocator, under its own reserved names, for the counting
// replacements to call.
// NOLINTBEGIN(bugprone-reserved-identifier)
extern "C" {
void* __libc_malloc(std::size_t size);
void* __libc_calloc(std::size_t count, std::size_t size);
void* __libc_realloc(void* pointer, std::size_t size);
void* __libc_memalign(std::size_t alignment, std::size_t size);
void __libc_free(void* pointer);
}
// NOLINTEND(bugprone-reserved-identifier)

namespace {

// Where counted allocations came from; fixed storage, since the counting
// itself must not allocate.
struct Site {
    const char* library = nullptr; // the shared object's path, or null for this program
    // The program's function that made the allocation or called into the
    // library that made it; null on the library's own threads.
    const char* symbol = nullptr;
    long count = 0;
};

constexpr int siteCapacity = 48;

struct Tally {
    std::atomic<long> own{0};
    std::atomic<long> libraries{0};
    std::atomic<long> unknown{0};
    Site sites[siteCapacity];
    int siteCount = 0;
    std::atomic_flag siteLock = ATOMIC_FLAG_INIT;
};

std::atomic<Tally*> counting{nullptr};
thread_local bool insideHook = false;
const char* ownPath = nullptr;

bool isRuntime(const char* path)
{
    const char* name = std::strrchr(path, '/');
    name = name ? name + 1 : path;
    return std::strncmp(name, "libc.so", 7) == 0 || std::strncmp(name, "libstdc++", 9) == 0 ||
           std::strncmp(name, "libgcc_s", 8) == 0 || std::strncmp(name, "ld-linux", 8) == 0;
}

bool isHook(const char* symbol)
{
    if (!symbol)
        return false;
    static const char* const hooks[] = {"malloc",   "calloc", "realloc", "posix_memalign", "aligned_alloc",
                                        "memalign", "valloc", "_Znw",    "_Zna",           "_ZN12_GLOBAL__N_15count"};
    for (const char* hook : hooks)
        if (std::strncmp(symbol, hook, std::strlen(hook)) == 0)
            return true;
    return false;
}

void recordSite(Tally& tally, const char* library, const char* symbol)
{
    while (tally.siteLock.test_and_set(std::memory_order_acquire)) {
    }
    int found = -1;
    for (int i = 0; i < tally.siteCount; ++i)
        if (tally.sites[i].library == library && tally.sites[i].symbol == symbol)
            found = i;
    if (found < 0 && tally.siteCount < siteCapacity) {
        found = tally.siteCount++;
        tally.sites[found].library = library;
        tally.sites[found].symbol = symbol;
    }
    if (found >= 0)
        ++tally.sites[found].count;
    tally.siteLock.clear(std::memory_order_release);
}

// Counts one allocation against whoever asked for it.
__attribute__((noinline)) void count()
{
    Tally* tally = counting.load(std::memory_order_relaxed);
    if (!tally || insideHook)
        return;
    insideHook = true;
    void* frames[40];
    const int depth = backtrace(frames, 40);
    const char* library = nullptr;
    bool classified = false;
    for (int i = 1; i < depth; ++i) {
        Dl_info info{};
        if (!dladdr(frames[i], &info) || !info.dli_fname)
            continue;
        if (isHook(info.dli_sname) || isRuntime(info.dli_fname))
            continue;
        const bool own = ownPath && std::strcmp(info.dli_fname, ownPath) == 0;
        if (!classified) {
            classified = true;
            (own ? tally->own : tally->libraries).fetch_add(1, std::memory_order_relaxed);
            if (!own)
                library = info.dli_fname;
        }
        if (own) {
            recordSite(*tally, library, info.dli_sname);
            break;
        }
        if (i == depth - 1)
            recordSite(*tally, library, nullptr);
    }
    if (!classified)
        tally->unknown.fetch_add(1, std::memory_order_relaxed);
    insideHook = false;
}

} // namespace

// The C allocator, counted and passed on to the C library's own.
extern "C" {
void* malloc(std::size_t size)
{
    count();
    return __libc_malloc(size);
}
void* calloc(std::size_t number, std::size_t size)
{
    count();
    return __libc_calloc(number, size);
}
void* realloc(void* pointer, std::size_t size)
{
    count();
    return __libc_realloc(pointer, size);
}
void* memalign(std::size_t alignment, std::size_t size)
{
    count();
    return __libc_memalign(alignment, size);
}
void* aligned_alloc(std::size_t alignment, std::size_t size)
{
    count();
    return __libc_memalign(alignment, size);
}
int posix_memalign(void** result, std::size_t alignment, std::size_t size)
{
    count();
    void* pointer = __libc_memalign(alignment, size);
    if (!pointer)
        return ENOMEM;
    *result = pointer;
    return 0;
}
void free(void* pointer)
{
    __libc_free(pointer);
}
}

// operator new goes through malloc above, so each C++ allocation counts once.
void* operator new(std::size_t size)
{
    if (void* pointer = std::malloc(size ? size : 1))
        return pointer;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size)
{
    return operator new(size);
}
void operator delete(void* pointer) noexcept
{
    std::free(pointer);
}
void operator delete[](void* pointer) noexcept
{
    std::free(pointer);
}
void operator delete(void* pointer, std::size_t) noexcept
{
    std::free(pointer);
}
void operator delete[](void* pointer, std::size_t) noexcept
{
    std::free(pointer);
}

namespace {

constexpr int warmFrames = 300;
constexpr int countedFrames = 1000;
constexpr int countedKeys = 10000;
constexpr int mixedFrames = 1000;
constexpr int keysPerMixedFrame = 10;

// Letters, digits, punctuation with a cube, Page Up, the space bar, and keys
// without a cube (Shift, Ctrl, arrows, F1, keypad digits, Enter, Tab).
constexpr int keyCycle[] = {0x41, 0x47, 0x5A, 0x30, 0x39, 0xBE, 0xBC, 0x21, 0x20, 0x10,
                            0x11, 0x25, 0x28, 0x70, 0x60, 0x69, 0x0D, 0x09, 0x4D, 0x55};
constexpr int keyCycleLength = sizeof keyCycle / sizeof keyCycle[0];

enum class Phase { Warm, Frames, Keys, Mixed, Done };

class AllocationScript : public bench::Script {
public:
    Tally frames;
    Tally keys;
    Tally mixed;

    bool next(platform::Message& message) override
    {
        switch (phase) {
        case Phase::Warm:
            // Keep some cubes in the air while warming up, as later.
            if (pendingKeys > 0) {
                --pendingKeys;
                message = nextKey();
                return true;
            }
            return false;
        case Phase::Keys:
            if (keysSent == countedKeys) {
                counting.store(nullptr);
                enter(Phase::Mixed);
                return false;
            }
            ++keysSent;
            message = nextKey();
            return true;
        case Phase::Mixed:
            if (pendingKeys > 0) {
                --pendingKeys;
                message = nextKey();
                return true;
            }
            return false;
        case Phase::Frames:
            return false;
        case Phase::Done:
            message = bench::keyMessage(platform::VK_ESCAPE);
            return true;
        }
        return false;
    }

    void swapped() override
    {
        ++framesInPhase;
        switch (phase) {
        case Phase::Warm:
            if (framesInPhase % 30 == 0)
                pendingKeys = 3;
            if (framesInPhase == warmFrames)
                enter(Phase::Frames);
            break;
        case Phase::Frames:
            if (framesInPhase % 30 == 0) {
                // A throw between frames keeps cubes in flight; its own key
                // is counted in the key phase, not here.
                counting.store(nullptr);
                launchDirectly();
                counting.store(&frames);
            }
            if (framesInPhase == countedFrames) {
                counting.store(nullptr);
                enter(Phase::Keys);
            }
            break;
        case Phase::Mixed:
            pendingKeys = keysPerMixedFrame;
            if (framesInPhase == mixedFrames) {
                counting.store(nullptr);
                pendingKeys = 0;
                enter(Phase::Done);
            }
            break;
        default:
            break;
        }
    }

    Zindle* scene = nullptr;

private:
    void enter(Phase next)
    {
        phase = next;
        framesInPhase = 0;
        if (next == Phase::Frames)
            counting.store(&frames);
        else if (next == Phase::Keys)
            counting.store(&keys);
        else if (next == Phase::Mixed)
            counting.store(&mixed);
    }

    platform::Message nextKey()
    {
        const int key = keyCycle[keyIndex];
        keyIndex = (keyIndex + 1) % keyCycleLength;
        return bench::keyMessage(key);
    }

    void launchDirectly()
    {
        for (int i : {3, 17, 29}) {
            scene->motions[i].bouncing = true;
            scene->motions[i].elapsed = 0.0;
            scene->motions[i].speed = 7.0;
            scene->motions[i].depth = 50.0;
        }
    }

    Phase phase = Phase::Warm;
    int framesInPhase = 0;
    int pendingKeys = 0;
    int keysSent = 0;
    int keyIndex = 0;
};

bool report(const char* what, const Tally& tally, double per, const char* unit)
{
    const long own = tally.own.load();
    const long libraries = tally.libraries.load();
    const long unknown = tally.unknown.load();
    std::printf("  %-34s own code %.4f per %s (%ld in all)  %s\n", what, static_cast<double>(own) / per, unit, own,
                bench::verdict(own == 0 && unknown == 0));
    std::printf("  %-34s libraries %.4f per %s (%ld in all), untraced %ld\n", "", static_cast<double>(libraries) / per,
                unit, libraries, unknown);
    for (int i = 0; i < tally.siteCount; ++i) {
        const Site& site = tally.sites[i];
        const char* library = site.library ? std::strrchr(site.library, '/') : nullptr;
        char* caller = site.symbol ? abi::__cxa_demangle(site.symbol, nullptr, nullptr, nullptr) : nullptr;
        std::printf("      %7ld in %s, %s %s\n", site.count,
                    site.library ? (library ? library + 1 : site.library) : "the program itself",
                    site.symbol ? (site.library ? "called from" : "in") : "on the library's own threads",
                    caller ? caller : (site.symbol ? site.symbol : ""));
        std::free(caller);
    }
    return own == 0 && unknown == 0;
}

} // namespace

int main()
{
    Dl_info self{};
    if (dladdr(reinterpret_cast<void*>(&report), &self))
        ownPath = self.dli_fname;
    // backtrace() loads the unwinder on first use; do it before counting.
    void* warm[4];
    backtrace(warm, 4);

    platform::HeadlessGLContext gl(1024, 768);
    if (!gl.ok()) {
        std::fprintf(stderr, "alloc_bench: %s\n", gl.error().c_str());
        return 1;
    }
    bench::BenchPlatform platform(gl, 1024, 768);
    AllocationScript script;
    platform.script = &script;

    const int exitCode = bench::runToyQuietly(platform, [&](Zindle* scene) { script.scene = scene; });

    std::printf("Heap allocations, real scene and loop at 1024x768 (budget 0 for the program's own code):\n");
    bool ok = report("per drawn frame (1000 frames):", script.frames, countedFrames, "frame");
    ok = report("per key-down (10000 back to back):", script.keys, countedKeys, "key") && ok;
    ok = report("frames with 10 keys each (1000):", script.mixed, mixedFrames, "frame") && ok;
    if (exitCode != 0)
        std::printf("  the loop ended with %d\n", exitCode);
    return ok && exitCode == 0 ? 0 : 2;
}
