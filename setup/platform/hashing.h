#pragma once
// The platform's SHA-256, through which the setup checks its bodies against the digest record.
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

inline constexpr size_t kSha256Size = 32;
using Sha256Digest = std::array<uint8_t, kSha256Size>;

class Hashing {
public:
    // False when the platform could not hash; `digest` is then undefined.
    virtual bool Sha256(std::span<const uint8_t> bytes, Sha256Digest& digest) = 0;

protected:
    // Never destroyed through this interface: the image's one adapter then needs no exit-time
    // destructor or construction guard.
    ~Hashing() = default;
};
