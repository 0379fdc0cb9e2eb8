#pragma once
// A cheap stand-in for the platform's SHA-256: 32 bytes from four differently seeded 64-bit FNV-1a
// passes, so every changed byte changes the digest, however the bytes are split into pieces.
// Counts the hashes begun and can be made to fail.
#include <cstring>

#include "platform/hashing.h"

class FakeHashing final : public Hashing {
public:
    bool Begin() override {
        ++calls;
        for (uint64_t lane = 0; lane < 4; ++lane) lanes_[lane] = 0xcbf29ce484222325ull ^ (lane * 0x9e3779b97f4a7c15ull);
        return !fail;
    }
    bool Add(std::span<const uint8_t> bytes) override {
        for (uint64_t& h : lanes_) {
            for (uint8_t byte : bytes) h = (h ^ byte) * 0x100000001b3ull;
        }
        return !fail;
    }
    bool Finish(Sha256Digest& digest) override {
        std::memcpy(digest.data(), lanes_, sizeof lanes_);
        return !fail;
    }
    int calls = 0;
    bool fail = false;

private:
    uint64_t lanes_[4] = {};
};
