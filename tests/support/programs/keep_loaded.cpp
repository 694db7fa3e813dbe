// Preloaded into the sanitized test runs only: dlclose() does nothing, so every
// library stays mapped until the process ends. LeakSanitizer reports leaks at
// exit, after SDL has unloaded the GL driver; without this, allocations made
// inside the driver show as "<unknown module>" and no suppression can name them.
extern "C" int dlclose(void*)
{
    return 0;
}
