#pragma once
// The running program's own file, which carries the archive, read a window at a time into one
// buffer: its size is not bounded by the address space, and memory stays the same for any size.
#include <cstddef>
#include <cstdint>

#include "archive/setup_bytes.h"
#include "platform/ports.h"

inline constexpr size_t kOwnFileWindow = size_t{1} << 20;

class OwnSetupFile final : public SetupBytes {
public:
    explicit OwnSetupFile(FileSystem& files, size_t window = kOwnFileWindow) : files_(files), window_(window) {}
    OwnSetupFile(const OwnSetupFile&) = delete;
    OwnSetupFile& operator=(const OwnSetupFile&) = delete;
    ~OwnSetupFile() {
        if (open_) files_.Close(file_);
    }

    // False when the platform cannot open the own file or memory for the window runs out.
    bool Open();
    uint64_t Size() const override { return size_; }
    std::span<const uint8_t> Read(uint64_t offset, uint64_t size) override;
    // The open file, for copies the platform makes without the window.
    FileHandle handle() const { return file_; }

private:
    FileSystem& files_;
    size_t window_;
    ByteBuffer buffer_;
    FileHandle file_ = -1;
    bool open_ = false;
    uint64_t size_ = 0;
    uint64_t bufferStart_ = 0;  // the file offset of the buffer's first byte
    size_t buffered_ = 0;       // how many of its bytes hold the file's
};
