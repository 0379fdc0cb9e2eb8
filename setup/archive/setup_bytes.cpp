#include "archive/setup_bytes.h"

#include <cstring>

bool ReadExactly(SetupBytes& file, uint64_t offset, std::span<uint8_t> out) {
    for (size_t done = 0; done < out.size();) {
        const std::span<const uint8_t> piece = file.Read(offset + done, out.size() - done);
        if (piece.empty()) return false;
        std::memcpy(out.data() + done, piece.data(), piece.size());
        done += piece.size();
    }
    return true;
}
