// The peer of the install benchmark under Wine: copies files into a folder with CopyFileA, as a
// plain Win32 program would, and prints the milliseconds its work took. With --hash, it first takes
// the SHA-256 of each named body the way the setup checks its bodies before it writes: the AES
// provider, one CALG_SHA_256 hash per body fed a 1 MiB read at a time, the value read back with
// CryptGetHashParam. Which makes it the floor of an install that checks what it copies.
//   copy-files [--hash BODY]... DESTINATION-FOLDER FILE...
// clang-format off
#include <windows.h>
#include <wincrypt.h>  // needs windows.h first
// clang-format on

#include <cstdio>
#include <cstring>
#include <vector>

namespace {

// The setup's read window (kOwnFileWindow).
constexpr DWORD kPiece = 1 << 20;

bool Sha256OfFile(HCRYPTPROV provider, const char* path, std::vector<BYTE>& buffer, BYTE (&digest)[32]) {
    const HANDLE file =
        CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    HCRYPTHASH hash = 0;
    bool ok = CryptCreateHash(provider, CALG_SHA_256, 0, 0, &hash) != 0;
    for (DWORD got = 0; ok;) {
        ok = ReadFile(file, buffer.data(), kPiece, &got, nullptr) != 0;
        if (!ok || got == 0) break;
        ok = CryptHashData(hash, buffer.data(), got, 0) != 0;
    }
    DWORD length = sizeof digest;
    ok = ok && CryptGetHashParam(hash, HP_HASHVAL, digest, &length, 0) && length == sizeof digest;
    if (hash != 0) CryptDestroyHash(hash);
    CloseHandle(file);
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    int first = 1;
    while (first + 1 < argc && std::strcmp(argv[first], "--hash") == 0) first += 2;
    const int bodies = (first - 1) / 2;
    if (argc - first < 2) {
        std::fprintf(stderr, "usage: copy-files [--hash BODY]... DESTINATION-FOLDER FILE...\n");
        return 2;
    }
    std::vector<BYTE> buffer(kPiece);
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    HCRYPTPROV provider = 0;
    if (bodies > 0 &&
        !CryptAcquireContextA(&provider, nullptr, nullptr, PROV_RSA_AES, CRYPT_VERIFYCONTEXT | CRYPT_SILENT)) {
        std::fprintf(stderr, "copy-files: no SHA-256 provider (error %lu)\n", GetLastError());
        return 1;
    }
    for (int i = 0; i < bodies; ++i) {
        BYTE digest[32];
        if (!Sha256OfFile(provider, argv[2 + 2 * i], buffer, digest)) {
            std::fprintf(stderr, "copy-files: %s could not be hashed (error %lu)\n", argv[2 + 2 * i], GetLastError());
            return 1;
        }
    }
    const char* folder = argv[first];
    for (int i = first + 1; i < argc; ++i) {
        const char* name = std::strrchr(argv[i], '\\');
        char target[MAX_PATH];
        std::snprintf(target, sizeof target, "%s\\%s", folder, name ? name + 1 : argv[i]);
        if (!CopyFileA(argv[i], target, FALSE)) {
            std::fprintf(stderr, "copy-files: %s could not be copied (error %lu)\n", argv[i], GetLastError());
            return 1;
        }
    }
    QueryPerformanceCounter(&end);
    if (provider != 0) CryptReleaseContext(provider, 0);
    std::printf("%.1f\n", 1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) /
                              static_cast<double>(frequency.QuadPart));
    return 0;
}
