// FileSystem over the Win32 file API.
#include <windows.h>

#include "platform/platform_win32.h"

namespace {

HANDLE AsHandle(FileHandle file) { return reinterpret_cast<HANDLE>(file); }

constexpr DWORD kOwnPathCapacity = 1024;

// The own file, opened once at start by KeepOwnFile and read through this handle for the rest of
// the process; INVALID_HANDLE_VALUE when it could not be opened or is not the file the process was
// started from.
HANDLE ownFile = INVALID_HANDLE_VALUE;

// True when `size` bytes of `file` from `offset` equal `memory`, leaving out the `skipSize` bytes
// from file offset `skipFrom`.
bool FileHoldsBytes(HANDLE file, DWORD offset, const uint8_t* memory, DWORD size, DWORD skipFrom, DWORD skipSize) {
    uint8_t chunk[4096];
    for (DWORD done = 0; done < size;) {
        const DWORD want = size - done < sizeof chunk ? size - done : sizeof chunk;
        OVERLAPPED at = {};
        at.Offset = offset + done;
        DWORD got = 0;
        if (!ReadFile(file, chunk, want, &got, &at) || got != want) return false;
        for (DWORD i = 0; i < want; ++i) {
            const DWORD position = offset + done + i;
            const bool skipped = position >= skipFrom && position - skipFrom < skipSize;
            if (!skipped && chunk[i] != memory[done + i]) return false;
        }
        done += want;
    }
    return true;
}

// True when `file` is the program file this process was started from: its headers (but the image
// base, which the loader sets when it relocates the image) and its resource section hold the bytes
// of the loaded image. Relocation changes no byte of either.
bool MatchesLoadedImage(HANDLE file) {
    const auto* image = reinterpret_cast<const uint8_t*>(GetModuleHandleA(nullptr));
    const auto* nt =
        reinterpret_cast<const IMAGE_NT_HEADERS*>(image + reinterpret_cast<const IMAGE_DOS_HEADER*>(image)->e_lfanew);
    const IMAGE_OPTIONAL_HEADER& optional = nt->OptionalHeader;
    const auto imageBaseAt = static_cast<DWORD>(reinterpret_cast<const uint8_t*>(&optional.ImageBase) - image);
    if (!FileHoldsBytes(file, 0, image, optional.SizeOfHeaders, imageBaseAt, sizeof optional.ImageBase)) return false;
    const DWORD resources = optional.DataDirectory[IMAGE_DIRECTORY_ENTRY_RESOURCE].VirtualAddress;
    const IMAGE_SECTION_HEADER* section = IMAGE_FIRST_SECTION(nt);
    for (WORD i = 0; i < nt->FileHeader.NumberOfSections; ++i, ++section) {
        if (section->VirtualAddress != resources) continue;
        const DWORD size =
            section->SizeOfRawData < section->Misc.VirtualSize ? section->SizeOfRawData : section->Misc.VirtualSize;
        return FileHoldsBytes(file, section->PointerToRawData, image + section->VirtualAddress, size, 0, 0);
    }
    return false;
}

bool SameFile(HANDLE first, HANDLE second) {
    BY_HANDLE_FILE_INFORMATION a;
    BY_HANDLE_FILE_INFORMATION b;
    return GetFileInformationByHandle(first, &a) && GetFileInformationByHandle(second, &b) &&
           a.dwVolumeSerialNumber == b.dwVolumeSerialNumber && a.nFileIndexHigh == b.nFileIndexHigh &&
           a.nFileIndexLow == b.nFileIndexLow;
}

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// One ReadFile or WriteFile moves at most 1 GiB; a larger buffer is taken in turns.
DWORD TransferSize(size_t size) { return size > 0x40000000u ? 0x40000000u : static_cast<DWORD>(size); }

// Hands out an open file with its size, or closes it when its size cannot be read.
bool HandOutWithSize(HANDLE handle, FileHandle& file, uint64_t& size) {
    LARGE_INTEGER length;
    if (!GetFileSizeEx(handle, &length)) {
        CloseHandle(handle);
        return false;
    }
    file = reinterpret_cast<FileHandle>(handle);
    size = static_cast<uint64_t>(length.QuadPart);
    return true;
}

class Win32FileSystem final : public FileSystem {
public:
    // A second handle to the kept own file, for the caller to close.
    bool OpenOwnExecutable(FileHandle& file, uint64_t& size) override {
        HANDLE handle = INVALID_HANDLE_VALUE;
        if (ownFile == INVALID_HANDLE_VALUE || !DuplicateHandle(GetCurrentProcess(), ownFile, GetCurrentProcess(),
                                                                &handle, 0, FALSE, DUPLICATE_SAME_ACCESS)) {
            return false;
        }
        return HandOutWithSize(handle, file, size);
    }

    bool OpenRead(const char* path, FileHandle& file, uint64_t& size) override {
        // Others may read while it is open, but not write.
        const HANDLE handle = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                          FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
        return handle != INVALID_HANDLE_VALUE && HandOutWithSize(handle, file, size);
    }

    long long Read(FileHandle file, std::span<uint8_t> buffer) override {
        DWORD got = 0;
        if (!ReadFile(AsHandle(file), buffer.data(), TransferSize(buffer.size()), &got, nullptr)) return -1;
        return got;
    }

    // The file pointer is moved and read on from, rather than the offset given to ReadFile in an
    // OVERLAPPED: Wine serves such positioned reads on a synchronous handle at a fraction of the
    // speed of plain ones (copying 256 MiB of a setup a 1 MiB window at a time took about four
    // times as long), and the own file is read only from this thread.
    long long ReadAt(FileHandle file, uint64_t offset, std::span<uint8_t> buffer) override {
        LARGE_INTEGER at;
        at.QuadPart = static_cast<LONGLONG>(offset);
        if (!SetFilePointerEx(AsHandle(file), at, nullptr, FILE_BEGIN)) return -1;
        return Read(file, buffer);
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
            DWORD written = 0;
            if (!WriteFile(AsHandle(file), bytes.data(), TransferSize(bytes.size()), &written, nullptr) ||
                written == 0) {
                return false;
            }
            bytes = bytes.subspan(written);
        }
        return true;
    }

    bool Flush(FileHandle file) override { return FlushFileBuffers(AsHandle(file)) != 0; }

    bool Close(FileHandle file) override { return CloseHandle(AsHandle(file)) != 0; }

    bool Delete(const char* path) override { return DeleteFileA(path) != 0; }

    bool Rename(const char* from, const char* to) override {
        return MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
    }

    bool MakeDirectory(const char* path) override { return CreateDirectoryA(path, nullptr) != 0; }

    bool CanOpenForReading(const char* path) override {
        const HANDLE handle = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle == INVALID_HANDLE_VALUE) return false;
        CloseHandle(handle);
        return true;
    }

    // Where this program's system-directory files really are. A 32-bit program on 64-bit Windows
    // (WOW64) has its System32 redirected to SysWOW64: it names that folder, so that the shared-file
    // counts name each file by its real path, as Windows' own installers record their 32-bit files.
    bool SystemDirectory(char (&path)[kMaxPath]) override {
        BOOL wow64 = FALSE;
        const UINT length = IsWow64Process(GetCurrentProcess(), &wow64) && wow64
                                ? GetSystemWow64DirectoryA(path, kMaxPath)
                                : GetSystemDirectoryA(path, kMaxPath);
        return length > 0 && length < kMaxPath;
    }

    bool WindowsDirectory(char (&path)[kMaxPath]) override {
        const UINT length = GetWindowsDirectoryA(path, kMaxPath);
        return length > 0 && length < kMaxPath;
    }

    bool IsOwnExecutable(const char* path) override {
        const HANDLE other =
            CreateFileA(path, FILE_READ_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (other == INVALID_HANDLE_VALUE) return false;
        const bool same = ownFile != INVALID_HANDLE_VALUE && SameFile(ownFile, other);
        CloseHandle(other);
        return same;
    }
};

}  // namespace

void KeepOwnFile() {
    // Found by its wide-character path: a folder named outside the ANSI code page (a download
    // folder in another script) has no ANSI spelling that would find it.
    wchar_t path[kOwnPathCapacity];
    const DWORD length = GetModuleFileNameW(nullptr, path, kOwnPathCapacity);
    if (length == 0 || length >= kOwnPathCapacity) return;
    // Others may read it, but neither write it nor rename or delete it while the setup runs.
    const HANDLE file =
        CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    if (MatchesLoadedImage(file)) {
        ownFile = file;
    } else {
        CloseHandle(file);
    }
}

FileSystem& Win32Files() {
    static Win32FileSystem files;
    return files;
}
