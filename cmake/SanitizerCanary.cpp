// Makes one fault on purpose, named by its argument, so the build can show
// that the sanitizers are compiled in and that their report ends the run in
// failure.
#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char *argv[])
{
    const char *fault = argc > 1 ? argv[1] : "";
    if (std::strcmp(fault, "heap-buffer-overflow") == 0) {
        // Sizes known only at run time, so that AddressSanitizer rather than
        // a compile-time bound check is what catches the read.
        const size_t size = std::strlen(fault) - 12;
        char *bytes = static_cast<char *>(std::malloc(size));
        std::memset(bytes, 0, size);
        const int value = bytes[size];
        std::free(bytes);
        return value;
    }
    if (std::strcmp(fault, "signed-overflow") == 0) {
        volatile int big = 2147483647;
        volatile int one = argc > 1 ? 1 : 0;
        return big + one > 0 ? 0 : 3;
    }
    if (std::strcmp(fault, "leak") == 0) {
        // The only pointer to the block is gone when main() returns.
        volatile char *lost = static_cast<char *>(std::malloc(64));
        lost[0] = 1;
        return lost[0] == 1 ? 0 : 3;
    }
    std::fprintf(stderr, "usage: sanitizer_canary heap-buffer-overflow|signed-overflow|leak\n");
    return 2;
}
