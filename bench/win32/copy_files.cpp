// The peer of the install benchmark under Wine: copies files into a folder with CopyFileA, as a
// plain Win32 program would, and prints the milliseconds the copies took.
//   copy-files DESTINATION-FOLDER FILE...
#include <windows.h>

#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: copy-files DESTINATION-FOLDER FILE...\n");
        return 2;
    }
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    for (int i = 2; i < argc; ++i) {
        const char* name = std::strrchr(argv[i], '\\');
        char target[MAX_PATH];
        std::snprintf(target, sizeof target, "%s\\%s", argv[1], name ? name + 1 : argv[i]);
        if (!CopyFileA(argv[i], target, FALSE)) {
            std::fprintf(stderr, "copy-files: %s could not be copied (error %lu)\n", argv[i], GetLastError());
            return 1;
        }
    }
    QueryPerformanceCounter(&end);
    std::printf("%.1f\n", 1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) /
                              static_cast<double>(frequency.QuadPart));
    return 0;
}
