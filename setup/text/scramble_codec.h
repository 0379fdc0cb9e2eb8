#pragma once
// Scrambled block: two length bytes (n, low byte first), n bytes each XOR-chained with the byte two
// places before it, and a closing zero byte. The "AFXBIN1" resources and the build-mode side file
// hold this form.
#include <cstdint>
#include <span>

#include "platform/byte_buffer.h"

inline constexpr long kZeroTerminated = -1;
inline constexpr size_t kMaxScrambledLength = 65535;

// Unscrambling takes `input` as a block and returns its n plain bytes and a zero byte; a block whose
// bytes end before its length says gives nothing. Scrambling takes `length` plain bytes of `input`
// (kZeroTerminated: up to the first zero byte within input) and returns the whole n + 3 byte block;
// more than 65,535 plain bytes cannot be expressed and give nothing. No input gives nothing.
ByteBuffer ScrambleCodec(std::span<const uint8_t> input, bool unscramble, long length);
