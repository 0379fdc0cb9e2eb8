#pragma once
// A cheap stand-in for the platform's SHA-256: 32 bytes from four differently seeded 64-bit FNV-1a
// passes, so every changed byte changes the digest. Counts its calls and can be made to fail.
#include <cstring>

#include "platform/hashing.h"

class FakeHashing final : public Hashing {
public:
    bool Sha256(std::span<const uint8_t> bytes, Sha256Digest& digest) override {
        ++calls;
        if (fail) return false;
        for (uint64_t lane = 0; lane < 4; ++lane) {
            uint64_t h = 0xcbf29ce484222325ull ^ (lane * 0x9e3779b97f4a7c15ull);
            for (uint8_t byte : bytes) h = (h ^ byte) * 0x100000001b3ull;
            std::memcpy(digest.data() + 8 * lane, &h, 8);
        }
        return true;
    }
    int calls = 0;
    bool fail = false;
};
