#pragma once
// The bytes of a setup file, read by offset a piece at a time: the setup reads its own file so,
// which may be far larger than the free address space of a 32-bit process, and the host tools
// read a mapped setup through the same functions.
#include <cstddef>
#include <cstdint>
#include <span>

class SetupBytes {
public:
    virtual uint64_t Size() const = 0;
    // The bytes from `offset` (size > 0): at most `size`, fewer where the reader's window or the
    // file ends, and none from the end on or after a read error (Failed() then says so). They stay
    // valid until the next Read.
    virtual std::span<const uint8_t> Read(uint64_t offset, uint64_t size) = 0;
    bool Failed() const { return failed_; }

protected:
    ~SetupBytes() = default;
    bool failed_ = false;
};

// Bytes that are all in memory: a mapped file, or a test's.
class MemorySetupBytes final : public SetupBytes {
public:
    explicit MemorySetupBytes(std::span<const uint8_t> bytes) : bytes_(bytes) {}
    uint64_t Size() const override { return bytes_.size(); }
    std::span<const uint8_t> Read(uint64_t offset, uint64_t size) override {
        if (offset >= bytes_.size()) return {};
        const size_t left = bytes_.size() - static_cast<size_t>(offset);
        return bytes_.subspan(static_cast<size_t>(offset), size < left ? static_cast<size_t>(size) : left);
    }

private:
    std::span<const uint8_t> bytes_;
};

// Copies exactly out.size() bytes from `offset`; false when the file ends first or a read fails.
bool ReadExactly(SetupBytes& file, uint64_t offset, std::span<uint8_t> out);
