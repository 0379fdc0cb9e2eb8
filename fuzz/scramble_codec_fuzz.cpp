// Any bytes as a scrambled block, and as plain text: unscrambling never reads past the block, and
// scrambling then unscrambling gives the plain bytes back.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "text/scramble_codec.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const ByteBuffer plain = ScrambleCodec({data, size}, true, 0);
    if (!plain.empty() && plain.data()[plain.size() - 1] != 0) std::abort();

    const ByteBuffer block = ScrambleCodec({data, size}, false, static_cast<long>(size));
    if (size > kMaxScrambledLength) return block.empty() ? 0 : (std::abort(), 0);
    const ByteBuffer back = ScrambleCodec(block.bytes(), true, 0);
    if (back.size() != size + 1 || (size && std::memcmp(back.data(), data, size) != 0)) std::abort();
    return 0;
}
