#pragma once
// A setup that list, verify and extract read by offset, a window at a time, with positioned reads.
// It is never mapped: a file truncated while it is read gives a short read, reported as a change,
// where a mapping would end the tool with SIGBUS.
#include <sys/stat.h>

#include <cstdint>
#include <span>
#include <vector>

#include "archive/setup_bytes.h"

class SetupFile final : public SetupBytes {
public:
    SetupFile() = default;
    SetupFile(const SetupFile&) = delete;
    SetupFile& operator=(const SetupFile&) = delete;
    ~SetupFile();

    // Opens a regular file without blocking; false with errno set otherwise (EINVAL for a file that
    // is not regular, as a FIFO put in its place after it was checked).
    bool Open(const char* path);
    uint64_t Size() const override { return size_; }
    std::span<const uint8_t> Read(uint64_t offset, uint64_t size) override;
    // True when the file is no longer what was opened: a read came short of the size it had then,
    // or its size or modification time differ now.
    bool Changed() const;

private:
    int descriptor_ = -1;
    uint64_t size_ = 0;
    struct timespec modified_ {};
    bool cutShort_ = false;
    std::vector<uint8_t> window_;
    uint64_t windowStart_ = 0;  // the file offset of the window's first byte
    size_t windowed_ = 0;       // how many of its bytes hold the file's
};
