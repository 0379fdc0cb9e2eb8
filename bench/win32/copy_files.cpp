// The peer of the install benchmark under Wine: copies files into a folder with CopyFileA, as a
// plain Win32 program would, and prints the milliseconds its work took. With --hash, it first takes
// the SHA-256 of each named body the way the setup checks its bodies before it writes: the AES
// provider, one CALG_SHA_256 hash per body fed a 1 MiB read at a time, the value read back with
// CryptGetHashParam. Which makes it the floor of an install that checks what it copies.
// With --as-setup it also does the registry work of a first install, with the setup's calls, keys
// and values: KOVA's record as "Config" before the files, the shell verbs, KOVA's icon and the
// entry in the list of installed programs after them, and then shows one success box of the
// setup's kind, owned by a window of its own as the setup's is by its dialog. Its time then runs until
// that box is visible, which is when the setup's does too.
//   copy-files [--hash BODY]... [--as-setup] DESTINATION-FOLDER FILE...
// clang-format off
#include <windows.h>
#include <wincrypt.h>  // needs windows.h first
// clang-format on

#include <cstdio>
#include <cstring>
#include <vector>

#include "configuration/registry_keys.h"
#include "configuration/setup_dialog_record.h"
#include "operations/install.h"
#include "operations/installed_paths.h"

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

// The setup's RegCreateKeyExA: non-volatile, HKCR in the 64-bit view (platform/registry_win32.cpp).
HKEY CreateKey(HKEY root, const char* path) {
    const REGSAM view = root == HKEY_CLASSES_ROOT ? KEY_WOW64_64KEY : 0;
    HKEY key = nullptr;
    DWORD disposition = 0;
    RegCreateKeyExA(root, path, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS | view, nullptr, &key,
                    &disposition);
    return key;
}

void SetText(HKEY key, const char* name, const char* text) {
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text), static_cast<DWORD>(lstrlenA(text) + 1));
}

void SetNumber(HKEY key, const char* name, DWORD value) {
    RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
}

void SaveRecord() {
    const SetupDialog record = {};
    const HKEY key = CreateKey(HKEY_LOCAL_MACHINE, kKovaKey);
    RegSetValueExA(key, "Config", 0, REG_BINARY, reinterpret_cast<const BYTE*>(&record), sizeof record);
    RegCloseKey(key);
}

void RegisterAsSetup(const char* folder) {
    char value[kMaxPath];
    for (const ShellEntry& entry : kShellEntries) {
        if (entry.value == ShellValue::Icon) {
            BuildIconString(value, folder);
        } else {
            BuildCommandString(value, folder, entry.value == ShellValue::FilteredCommand);
        }
        const HKEY key = CreateKey(HKEY_CLASSES_ROOT, entry.key);
        SetText(key, nullptr, value);
        RegCloseKey(key);
    }
    char setupCopy[kMaxPath];
    BuildTargetPath(setupCopy, folder, kSetupCopyName);
    const HKEY key = CreateKey(HKEY_LOCAL_MACHINE, kUninstallEntryKey);
    SetText(key, "DisplayName", "KOVA");
    SetText(key, "DisplayVersion", "1.0e");
    SetText(key, "DisplayIcon", setupCopy);
    SetText(key, "InstallLocation", folder);
    SetText(key, "UninstallString", setupCopy);
    SetNumber(key, "EstimatedSize", 1);
    SetNumber(key, "NoRepair", 1);
    RegCloseKey(key);
}

// Waits for the success box, takes the time it became visible and closes it, as a user's click on OK.
LARGE_INTEGER boxVisible;
DWORD WINAPI CloseSuccessBox(void*) {
    for (;;) {
        const HWND box = FindWindowA(nullptr, kInstallerCaption);
        if (box && IsWindowVisible(box)) {
            QueryPerformanceCounter(&boxVisible);
            PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
            return 0;
        }
        Sleep(1);
    }
}

// A visible window of its own before the clock starts, as the setup has its dialog: the first window
// of a process under Wine pays for the connection to the display, which the setup paid before
// Install was pressed. The success box then belongs to it, as the setup's belongs to the dialog.
HWND ShowOwnWindow() {
    const HWND window = CreateWindowExA(0, "STATIC", "Install peer", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 320, 200,
                                        nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    UpdateWindow(window);
    for (MSG message; PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE);) DispatchMessageA(&message);
    return window;
}

void ShowSuccessBox(HWND owner) {
    const HANDLE closer = CreateThread(nullptr, 0, CloseSuccessBox, nullptr, 0, nullptr);
    MessageBoxA(owner,
                "KOVA has been successfully installed and SETUP will now exit.\n\nThe same box as the setup's, "
                "of about the same length, with the same caption and style.",
                kInstallerCaption, MB_OK | MB_ICONINFORMATION);
    WaitForSingleObject(closer, INFINITE);
    CloseHandle(closer);
}

}  // namespace

int main(int argc, char** argv) {
    int first = 1;
    while (first + 1 < argc && std::strcmp(argv[first], "--hash") == 0) first += 2;
    const int bodies = (first - 1) / 2;
    const bool asSetup = first < argc && std::strcmp(argv[first], "--as-setup") == 0;
    if (asSetup) ++first;
    if (argc - first < 2) {
        std::fprintf(stderr, "usage: copy-files [--hash BODY]... [--as-setup] DESTINATION-FOLDER FILE...\n");
        return 2;
    }
    std::vector<BYTE> buffer(kPiece);
    const HWND window = asSetup ? ShowOwnWindow() : nullptr;
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    if (asSetup) SaveRecord();
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
    if (asSetup) {
        RegisterAsSetup(folder);
        ShowSuccessBox(window);
        end = boxVisible;
    } else {
        QueryPerformanceCounter(&end);
    }
    if (provider != 0) CryptReleaseContext(provider, 0);
    std::printf("%.1f\n", 1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) /
                              static_cast<double>(frequency.QuadPart));
    return 0;
}
