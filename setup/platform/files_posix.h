#pragma once
#include "platform/ports.h"

// A read-only view of a whole file: its pages come from the file, so a large file costs no
// private memory. The host tools read setups so; released with PosixFileSystem::Unmap.
struct FileView {
    const uint8_t* data = nullptr;
    size_t size = 0;
    bool mapping = false;  // false for an empty file, which has nothing to map
};

class PosixFileSystem final : public FileSystem {
public:
    bool OpenOwnExecutable(FileHandle& file, uint64_t& size) override;
    bool MapFile(const char* path, FileView& view);
    void Unmap(FileView& view);
    bool OpenRead(const char* path, FileHandle& file, uint64_t& size) override;
    long long Read(FileHandle file, std::span<uint8_t> buffer) override;
    long long ReadAt(FileHandle file, uint64_t offset, std::span<uint8_t> buffer) override;
    bool CreateTruncated(const char* path, FileHandle& file) override;
    bool Write(FileHandle file, std::span<const uint8_t> bytes) override;
    long long CopyRange(FileHandle from, int64_t fromOffset, FileHandle to, uint64_t size) override;
    bool Close(FileHandle file) override;
    bool Delete(const char* path) override;
    bool Rename(const char* from, const char* to) override;
    bool MakeDirectory(const char* path) override;
    bool CanOpenForReading(const char* path) override;
    bool SystemDirectory(char (&path)[kMaxPath]) override;
    bool WindowsDirectory(char (&path)[kMaxPath]) override;
    bool IsOwnExecutable(const char* path) override;
};
