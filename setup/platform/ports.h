#pragma once
// The narrow interfaces through which the portable setup logic reaches the platform. The Win32
// adapters live in *_win32.cpp files; tests use the in-memory fakes of tests/support.
#include <cstddef>
#include <cstdint>
#include <span>

#include "platform/byte_buffer.h"
#include "platform/hashing.h"

inline constexpr size_t kMaxPath = 260;  // path buffers: at most 259 characters and the terminator

// ---------------------------------------------------------------- registry
enum class RegRoot { LocalMachine, ClassesRoot };

// Access masks, with the values the Win32 registry uses (checked in registry_win32.cpp).
namespace RegAccess {
inline constexpr uint32_t PlainOpen = 0;  // the default access of RegOpenKeyA
inline constexpr uint32_t QueryValue = 0x0001;
inline constexpr uint32_t SetValue = 0x0002;
inline constexpr uint32_t Write = 0x20006;
inline constexpr uint32_t AllAccess = 0xF003F;
}  // namespace RegAccess

using RegKey = uintptr_t;

enum class RegDeleteResult { Deleted, NotFound, Failed };

class Registry {
public:
    virtual ~Registry() = default;
    virtual bool Open(RegRoot root, const char* path, uint32_t access, RegKey& key) = 0;
    // Creates the key (and missing parents) non-volatile, or opens it when it exists.
    virtual bool Create(RegRoot root, const char* path, uint32_t access, RegKey& key) = 0;
    // Reads a value into `buffer`; fails when the value is missing or larger than the buffer, and in
    // the latter case sets `sizeRead` to the value's size.
    virtual bool Query(RegKey key, const char* valueName, std::span<uint8_t> buffer, uint32_t& sizeRead) = 0;
    virtual bool SetBinary(RegKey key, const char* valueName, std::span<const uint8_t> bytes) = 0;
    // valueName nullptr sets the key's default value.
    virtual bool SetString(RegKey key, const char* valueName, const char* text) = 0;
    // A DWORD value; Query reads it back as its four little-endian bytes.
    virtual bool SetDword(RegKey key, const char* valueName, uint32_t value) = 0;
    virtual bool DeleteValue(RegKey key, const char* valueName) = 0;
    // Deletes one key that has no subkeys.
    virtual RegDeleteResult DeleteKey(RegRoot root, const char* path) = 0;
    virtual void Close(RegKey key) = 0;
};

// ---------------------------------------------------------------- files
using FileHandle = intptr_t;

inline constexpr int64_t kCurrentPosition = -1;

class FileSystem {
public:
    virtual ~FileSystem() = default;
    // The running program's own file, found by the platform rather than from the command line,
    // open for reading (closed with Close); `size` is its length.
    virtual bool OpenOwnExecutable(FileHandle& file, uint64_t& size) = 0;
    virtual bool OpenRead(const char* path, FileHandle& file, uint64_t& size) = 0;
    // Reads up to buffer.size() bytes; returns the count read, 0 at the end, -1 on an error.
    virtual long long Read(FileHandle file, std::span<uint8_t> buffer) = 0;
    // The same from `offset`; the position Read goes on from is then unspecified.
    virtual long long ReadAt(FileHandle file, uint64_t offset, std::span<uint8_t> buffer) = 0;
    // Creates the file, or truncates an existing one, for writing.
    virtual bool CreateTruncated(const char* path, FileHandle& file) = 0;
    virtual bool Write(FileHandle file, std::span<const uint8_t> bytes) = 0;
    // Copies up to `size` bytes from one open file, at `fromOffset` (or kCurrentPosition, which
    // then advances), to another inside the platform, without a trip through the caller's memory.
    // Returns the count copied (0 at the end of `from`), or -1 when the platform cannot do this
    // here: the caller then copies through its own memory.
    virtual long long CopyRange(FileHandle /*from*/, int64_t /*fromOffset*/, FileHandle /*to*/, uint64_t /*size*/) {
        return -1;
    }
    // Writes what the platform still holds of a file opened by CreateTruncated to the disk, so that
    // the file is whole there before it is renamed into place.
    virtual bool Flush(FileHandle /*file*/) { return true; }
    // Closes a file opened by OpenRead or CreateTruncated; false when buffered data could not be written.
    virtual bool Close(FileHandle file) = 0;
    virtual bool Delete(const char* path) = 0;
    // Gives the file `from` the name `to` in the same folder, replacing a file of that name in one step.
    virtual bool Rename(const char* from, const char* to) = 0;
    virtual bool MakeDirectory(const char* path) = 0;
    // True when the file exists and can be opened read-only.
    virtual bool CanOpenForReading(const char* path) = 0;
    // The folder the Windows system-directory files of this program are in (the redirected one
    // where the platform redirects it).
    virtual bool SystemDirectory(char (&path)[kMaxPath]) = 0;
    virtual bool WindowsDirectory(char (&path)[kMaxPath]) = 0;
    // True when `path` names the running program's own file, however it is spelt: the platform
    // compares the files themselves, not their names.
    virtual bool IsOwnExecutable(const char* path) = 0;
};

// ---------------------------------------------------------------- message boxes
// Message-box styles and answers, with the values of the Win32 message box (checked in platform_win32.cpp).
namespace MessageStyle {
inline constexpr uint32_t Ok = 0x00;
inline constexpr uint32_t YesNo = 0x04;
inline constexpr uint32_t IconError = 0x10;
inline constexpr uint32_t IconWarning = 0x30;
inline constexpr uint32_t IconInformation = 0x40;
}  // namespace MessageStyle

inline constexpr int kAnswerOk = 1;
inline constexpr int kAnswerYes = 6;
inline constexpr int kAnswerNo = 7;

class Messages {
public:
    virtual ~Messages() = default;
    // A box that keeps the window it is shown over (the dialog, once it runs) from taking input until
    // it is answered; caption nullptr gives the platform's default title. Returns the answer.
    virtual int Show(const char* text, const char* caption, uint32_t style) = 0;
};

// ---------------------------------------------------------------- string table
class Strings {
public:
    virtual ~Strings() = default;
    // Copies string `id` into buffer (capacity includes the terminator, as LoadStringA counts it);
    // returns the number of characters copied, 0 when the string does not exist.
    virtual int Load(int id, char* buffer, int capacity) = 0;
};

// ---------------------------------------------------------------- process
class Process {
public:
    virtual ~Process() = default;
    virtual unsigned long CurrentThreadId() = 0;
    // Ends the program with `exitCode`, whatever other threads the platform runs. On the platform
    // it does not return; callers return at once after it, so a test fake may return (or throw).
    virtual void EndProgram(int exitCode) = 0;
};

// Every port the portable logic needs, passed by reference.
struct Platform {
    Registry& registry;
    FileSystem& files;
    Messages& messages;
    Strings& strings;
    Process& process;
    // nullptr where the platform offers no hash: an archive with a digest record is then not trusted.
    Hashing* hashing = nullptr;
};
