// FileSystem over the Win32 file API.
#include <windows.h>

#include "platform/win32_platform.h"

namespace {

HANDLE AsHandle(FileHandle file) { return reinterpret_cast<HANDLE>(file); }

constexpr DWORD kOwnPathCapacity = 1024;

// The own file by its wide-character path: a folder named outside the ANSI code page (a download
// folder in another script) has no ANSI spelling that would find it.
HANDLE OpenOwnFile(DWORD access, DWORD share) {
    wchar_t path[kOwnPathCapacity];
    const DWORD length = GetModuleFileNameW(nullptr, path, kOwnPathCapacity);
    if (length == 0 || length >= kOwnPathCapacity) return INVALID_HANDLE_VALUE;
    return CreateFileW(path, access, share, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

bool SameFile(HANDLE first, HANDLE second) {
    BY_HANDLE_FILE_INFORMATION a;
    BY_HANDLE_FILE_INFORMATION b;
    return GetFileInformationByHandle(first, &a) && GetFileInformationByHandle(second, &b) &&
           a.dwVolumeSerialNumber == b.dwVolumeSerialNumber && a.nFileIndexHigh == b.nFileIndexHigh &&
           a.nFileIndexLow == b.nFileIndexLow;
}

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

class Win32FileSystem final : public FileSystem {
public:
    bool OpenOwnExecutable(FileHandle& file, uint64_t& size) override {
        const HANDLE handle = OpenOwnFile(GENERIC_READ, FILE_SHARE_READ);
        if (handle == INVALID_HANDLE_VALUE) return false;
        LARGE_INTEGER length;
        if (!GetFileSizeEx(handle, &length)) {
            CloseHandle(handle);
            return false;
        }
        file = reinterpret_cast<FileHandle>(handle);
        size = static_cast<uint64_t>(length.QuadPart);
        return true;
    }

    bool OpenRead(const char* path, FileHandle& file, uint64_t& size) override {
        // Others may read while it is open, but not write.
        const HANDLE handle = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                          FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
        if (handle == INVALID_HANDLE_VALUE) return false;
        LARGE_INTEGER length;
        if (!GetFileSizeEx(handle, &length)) {
            CloseHandle(handle);
            return false;
        }
        file = reinterpret_cast<FileHandle>(handle);
        size = static_cast<uint64_t>(length.QuadPart);
        return true;
    }

    long long Read(FileHandle file, std::span<uint8_t> buffer) override {
        DWORD got = 0;
        const DWORD want = buffer.size() > 0x40000000u ? 0x40000000u : static_cast<DWORD>(buffer.size());
        if (!ReadFile(AsHandle(file), buffer.data(), want, &got, nullptr)) return -1;
        return got;
    }

    long long ReadAt(FileHandle file, uint64_t offset, std::span<uint8_t> buffer) override {
        OVERLAPPED at = {};
        at.Offset = static_cast<DWORD>(offset);
        at.OffsetHigh = static_cast<DWORD>(offset >> 32);
        DWORD got = 0;
        const DWORD want = buffer.size() > 0x40000000u ? 0x40000000u : static_cast<DWORD>(buffer.size());
        if (ReadFile(AsHandle(file), buffer.data(), want, &got, &at)) return got;
        return GetLastError() == ERROR_HANDLE_EOF ? 0 : -1;
    }

    bool CreateTruncated(const char* path, FileHandle& file) override {
        const HANDLE handle =
            CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle == INVALID_HANDLE_VALUE) return false;
        file = reinterpret_cast<FileHandle>(handle);
        return true;
    }

    bool Write(FileHandle file, std::span<const uint8_t> bytes) override {
        while (!bytes.empty()) {
            const DWORD want = bytes.size() > 0x40000000u ? 0x40000000u : static_cast<DWORD>(bytes.size());
            DWORD written = 0;
            if (!WriteFile(AsHandle(file), bytes.data(), want, &written, nullptr) || written == 0) return false;
            bytes = bytes.subspan(written);
        }
        return true;
    }

    bool Close(FileHandle file) override { return CloseHandle(AsHandle(file)) != 0; }

    bool Delete(const char* path) override { return DeleteFileA(path) != 0; }

    bool MakeDirectory(const char* path) override { return CreateDirectoryA(path, nullptr) != 0; }

    bool CanOpenForReading(const char* path) override {
        const HANDLE handle = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle == INVALID_HANDLE_VALUE) return false;
        CloseHandle(handle);
        return true;
    }

    bool SystemDirectory(char (&path)[kMaxPath]) override {
        const UINT length = GetSystemDirectoryA(path, kMaxPath);
        return length > 0 && length < kMaxPath;
    }

    bool WindowsDirectory(char (&path)[kMaxPath]) override {
        const UINT length = GetWindowsDirectoryA(path, kMaxPath);
        return length > 0 && length < kMaxPath;
    }

    bool IsOwnExecutable(const char* path) override {
        const HANDLE other = CreateFileA(path, FILE_READ_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING,
                                         FILE_ATTRIBUTE_NORMAL, nullptr);
        if (other == INVALID_HANDLE_VALUE) return false;
        const HANDLE own = OpenOwnFile(FILE_READ_ATTRIBUTES, kShareAll);
        const bool same = own != INVALID_HANDLE_VALUE && SameFile(own, other);
        if (own != INVALID_HANDLE_VALUE) CloseHandle(own);
        CloseHandle(other);
        return same;
    }
};

}  // namespace

FileSystem& Win32Files() {
    static Win32FileSystem files;
    return files;
}
