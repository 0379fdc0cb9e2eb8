#pragma once
// The platform's SHA-256, through which the setup checks its bodies against the digest record.
// A body is hashed a window at a time: Begin, Add for each piece, Finish.
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

inline constexpr size_t kSha256Size = 32;
using Sha256Digest = std::array<uint8_t, kSha256Size>;

class Hashing {
public:
    // Each is false when the platform could not hash; the digest is then undefined, and the next
    // Begin starts afresh.
    virtual bool Begin() = 0;
    virtual bool Add(std::span<const uint8_t> bytes) = 0;
    virtual bool Finish(Sha256Digest& digest) = 0;

    bool Sha256(std::span<const uint8_t> bytes, Sha256Digest& digest) {
        return Begin() && Add(bytes) && Finish(digest);
    }

protected:
    // Never destroyed through this interface: the image's one adapter then needs no exit-time
    // destructor or construction guard.
    ~Hashing() = default;
};
