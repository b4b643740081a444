// Defaults for the sanitizer runtimes, read before main(). Options given in
// ASAN_OPTIONS, UBSAN_OPTIONS or LSAN_OPTIONS still win.

extern "C" {

__attribute__((visibility("default"), used)) const char *__asan_default_options()
{
    return "detect_leaks=1:check_initialization_order=1:print_suppressions=0";
}

__attribute__((visibility("default"), used)) const char *__ubsan_default_options()
{
    return "print_stacktrace=1:halt_on_error=1";
}

// Leaks in libraries we do not build are not ours to fix. libdbus, which
// Qt loads under X11, leaves one buffer behind at exit; SDL, which mpv tries
// for sound where there is no sound card, leaves a few.
__attribute__((visibility("default"), used)) const char *__lsan_default_suppressions()
{
    return "leak:libdbus-1.so\n"
           "leak:libSDL2-2.0.so\n";
}

// Nothing is unloaded in a sanitized program. Mesa unloads its driver when
// the last GL context goes, and what the driver still holds then is reported
// as leaked from an unknown module: neither ours nor possible to suppress by
// name. Kept loaded, the driver's memory stays reachable, as it is in a
// program that never closes its last context.
__attribute__((visibility("default"), used)) int dlclose(void *)
{
    return 0;
}

} // extern "C"
