#include "text/scramble_codec.h"

#include <cstring>

namespace {

ByteBuffer Unscramble(std::span<const uint8_t> block) {
    ByteBuffer plain;
    if (block.size() < 2) return plain;
    const size_t n = block[0] + 256u * block[1];
    if (block.size() < n + 2) return plain;
    if (!plain.Allocate(n + 1)) return plain;
    for (size_t i = 0; i < n; ++i) plain.data()[i] = block[i + 2] ^ block[i];
    return plain;
}

ByteBuffer Scramble(std::span<const uint8_t> plain) {
    ByteBuffer block;
    const size_t n = plain.size();
    if (n > kMaxScrambledLength || !block.Allocate(n + 3)) return block;
    uint8_t* e = block.data();
    e[0] = static_cast<uint8_t>(n & 0xFF);
    e[1] = static_cast<uint8_t>((n >> 8) & 0xFF);
    for (size_t i = 0; i < n; ++i) e[i + 2] = plain[i] ^ e[i];
    return block;
}

}  // namespace

ByteBuffer ScrambleCodec(std::span<const uint8_t> input, bool unscramble, long length) {
    if (input.data() == nullptr) return {};
    if (unscramble) return Unscramble(input);
    size_t n = input.size();
    if (length == kZeroTerminated) {
        const void* zero = std::memchr(input.data(), 0, input.size());
        if (zero) n = static_cast<size_t>(static_cast<const uint8_t*>(zero) - input.data());
    } else if (length < 0 || static_cast<size_t>(length) > input.size()) {
        return {};
    } else {
        n = static_cast<size_t>(length);
    }
    return Scramble(input.first(n));
}
