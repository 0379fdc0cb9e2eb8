// FileSystem on POSIX, for the host tools (setup-pack) and the native benchmarks.
#include "platform/files_posix.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

bool WriteAll(int fd, const uint8_t* data, size_t size) {
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data += written;
        size -= static_cast<size_t>(written);
    }
    return true;
}

}  // namespace

bool PosixFileSystem::OpenOwnExecutable(FileHandle& file, uint64_t& size) {
    return OpenRead("/proc/self/exe", file, size);
}

bool PosixFileSystem::MapFile(const char* path, FileView& view) {
    FileHandle file = -1;
    uint64_t size = 0;
    if (!OpenRead(path, file, size)) return false;
    // An empty file cannot be mapped; any non-null pointer serves for its zero bytes.
    void* data = size == 0 ? nullptr : ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE, static_cast<int>(file), 0);
    Close(file);  // the mapping keeps the file
    if (data == MAP_FAILED) return false;
    static const uint8_t empty = 0;
    view.data = data ? static_cast<const uint8_t*>(data) : &empty;
    view.size = static_cast<size_t>(size);
    view.mapping = data != nullptr;
    return true;
}

void PosixFileSystem::Unmap(FileView& view) {
    if (view.mapping) ::munmap(const_cast<uint8_t*>(view.data), view.size);
    view = {};
}

bool PosixFileSystem::OpenRead(const char* path, FileHandle& file, uint64_t& size) {
    // Without blocking: opening a FIFO to read waits for a writer. Only a regular file is kept.
    const int fd = ::open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return false;
    }
    file = fd;
    size = static_cast<uint64_t>(info.st_size);
    return true;
}

long long PosixFileSystem::Read(FileHandle file, std::span<uint8_t> buffer) {
    for (;;) {
        const ssize_t got = ::read(static_cast<int>(file), buffer.data(), buffer.size());
        if (got < 0 && errno == EINTR) continue;
        return got;
    }
}

long long PosixFileSystem::ReadAt(FileHandle file, uint64_t offset, std::span<uint8_t> buffer) {
    for (;;) {
        const ssize_t got = ::pread(static_cast<int>(file), buffer.data(), buffer.size(), static_cast<off_t>(offset));
        if (got < 0 && errno == EINTR) continue;
        return got;
    }
}

bool PosixFileSystem::CreateTruncated(const char* path, FileHandle& file) {
    // An empty file (setup-pack's temporary one) is not truncated again: on ext4 a truncation to
    // zero makes the close wait for the writing of everything written since.
    const int fd = ::open(path, O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) return false;
    struct stat info {};
    if (::fstat(fd, &info) != 0 || (info.st_size != 0 && ::ftruncate(fd, 0) != 0)) {
        ::close(fd);
        return false;
    }
    file = fd;
    return true;
}

bool PosixFileSystem::Write(FileHandle file, std::span<const uint8_t> bytes) {
    return WriteAll(static_cast<int>(file), bytes.data(), bytes.size());
}

long long PosixFileSystem::CopyRange(FileHandle from, int64_t fromOffset, FileHandle to, uint64_t size) {
    const size_t chunk = size < (size_t{1} << 30) ? static_cast<size_t>(size) : (size_t{1} << 30);
    off64_t offset = fromOffset;
    for (;;) {
        const ssize_t copied = ::copy_file_range(static_cast<int>(from), fromOffset == kCurrentPosition ? nullptr : &offset,
                                                 static_cast<int>(to), nullptr, chunk, 0);
        if (copied < 0 && errno == EINTR) continue;
        return copied;
    }
}

bool PosixFileSystem::Close(FileHandle file) { return ::close(static_cast<int>(file)) == 0; }

bool PosixFileSystem::Delete(const char* path) { return ::unlink(path) == 0; }

bool PosixFileSystem::Rename(const char* from, const char* to) { return ::rename(from, to) == 0; }

bool PosixFileSystem::MakeDirectory(const char* path) { return ::mkdir(path, 0777) == 0; }

bool PosixFileSystem::CanOpenForReading(const char* path) {
    const int fd = ::open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    ::close(fd);
    return true;
}

bool PosixFileSystem::SystemDirectory(char (&path)[kMaxPath]) {
    std::strcpy(path, "/usr/lib");
    return true;
}

bool PosixFileSystem::WindowsDirectory(char (&path)[kMaxPath]) {
    std::strcpy(path, "/usr");
    return true;
}

bool PosixFileSystem::IsOwnExecutable(const char* path) {
    struct stat own = {};
    struct stat other = {};
    return ::stat("/proc/self/exe", &own) == 0 && ::stat(path, &other) == 0 && own.st_dev == other.st_dev &&
           own.st_ino == other.st_ino;
}
