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
// Qt loads under X11, leaves one buffer behind at exit.
__attribute__((visibility("default"), used)) const char *__lsan_default_suppressions()
{
    return "leak:libdbus-1.so\n";
}

} // extern "C"
