#pragma once
#include "platform/ports.h"

class PosixFileSystem final : public FileSystem {
public:
    bool MapOwnExecutable(FileView& view) override;
    void Unmap(FileView& view) override;
    // Maps any file, as MapOwnExecutable maps the program's own (the host tools read setups so).
    bool MapFile(const char* path, FileView& view);
    bool OpenRead(const char* path, FileHandle& file, uint64_t& size) override;
    long long Read(FileHandle file, std::span<uint8_t> buffer) override;
    bool CreateTruncated(const char* path, FileHandle& file) override;
    bool Write(FileHandle file, std::span<const uint8_t> bytes) override;
    long long CopyRange(FileHandle from, int64_t fromOffset, FileHandle to, uint64_t size) override;
    bool Close(FileHandle file) override;
    bool Delete(const char* path) override;
    bool MakeDirectory(const char* path) override;
    bool CanOpenForReading(const char* path) override;
    bool SystemDirectory(char (&path)[kMaxPath]) override;
    bool WindowsDirectory(char (&path)[kMaxPath]) override;
    bool IsOwnExecutable(const char* path) override;
};
