#include "text/scramble_codec.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

namespace {

std::vector<uint8_t> ToVector(const ByteBuffer& buffer) { return {buffer.data(), buffer.data() + buffer.size()}; }

std::span<const uint8_t> Bytes(const char* text) {
    return {reinterpret_cast<const uint8_t*>(text), std::strlen(text) + 1};
}

TEST(ScrambleCodec, KnownVectors) {
    EXPECT_EQ(ToVector(ScrambleCodec(Bytes("abc"), false, kZeroTerminated)),
              (std::vector<uint8_t>{0x03, 0x00, 0x62, 0x62, 0x01, 0x00}));
    EXPECT_EQ(ToVector(ScrambleCodec(Bytes(""), false, kZeroTerminated)), (std::vector<uint8_t>{0, 0, 0}));

    const std::vector<uint8_t> abc{0x03, 0x00, 0x62, 0x62, 0x01, 0x00};
    EXPECT_EQ(ToVector(ScrambleCodec(abc, true, 0)), (std::vector<uint8_t>{'a', 'b', 'c', 0}));
    const std::vector<uint8_t> empty{0x00, 0x00, 0x55, 0x66};
    EXPECT_EQ(ToVector(ScrambleCodec(empty, true, 0)), (std::vector<uint8_t>{0}));
}

TEST(ScrambleCodec, NothingInNothingOut) {
    EXPECT_TRUE(ScrambleCodec({}, true, 0).empty());
    EXPECT_TRUE(ScrambleCodec({}, false, kZeroTerminated).empty());
}

TEST(ScrambleCodec, RoundTripUpToTheLengthFieldLimit) {
    std::mt19937 random(7);
    for (size_t n : {size_t{1}, size_t{2}, size_t{3}, size_t{255}, size_t{256}, size_t{4097}, size_t{65535}}) {
        std::vector<uint8_t> plain(n);
        for (auto& byte : plain) byte = static_cast<uint8_t>(random());
        const ByteBuffer block = ScrambleCodec(plain, false, static_cast<long>(n));
        ASSERT_EQ(block.size(), n + 3) << n;
        EXPECT_EQ(block.data()[n + 2], 0) << n;
        const ByteBuffer back = ScrambleCodec(block.bytes(), true, 0);
        ASSERT_EQ(back.size(), n + 1) << n;
        EXPECT_EQ(std::vector<uint8_t>(back.data(), back.data() + n), plain) << n;
        EXPECT_EQ(back.data()[n], 0) << n;
    }
}

TEST(ScrambleCodec, DamagedByteSpoilsExactlyTwoPlainBytes) {
    const char* text = "The quick brown fox";
    ByteBuffer block = ScrambleCodec(Bytes(text), false, kZeroTerminated);
    const size_t n = std::strlen(text);
    const size_t k = 7;  // block offset of the damage
    block.data()[k] ^= 0x5A;
    const ByteBuffer plain = ScrambleCodec(block.bytes(), true, 0);
    for (size_t i = 0; i < n; ++i) {
        const bool spoiled = i == k - 2 || i == k;
        EXPECT_EQ(plain.data()[i] != static_cast<uint8_t>(text[i]), spoiled) << i;
    }
}

TEST(ScrambleCodec, RefusesWhatTheBlockCannotHold) {
    // A block whose length bytes promise more than it holds is never read past its end.
    const std::vector<uint8_t> shortBlock{0x10, 0x00, 1, 2, 3};
    EXPECT_TRUE(ScrambleCodec(shortBlock, true, 0).empty());
    const std::vector<uint8_t> oneByte{0x01};
    EXPECT_TRUE(ScrambleCodec(oneByte, true, 0).empty());
    // More than 65,535 plain bytes cannot be expressed in the length field.
    const std::vector<uint8_t> tooLong(65536, 'x');
    EXPECT_TRUE(ScrambleCodec(tooLong, false, 65536).empty());
    EXPECT_TRUE(ScrambleCodec(tooLong, false, 70000).empty());
}

}  // namespace
