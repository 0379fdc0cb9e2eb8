#pragma once
// SHA-256 on the build machine, from OpenSSL's libcrypto.
#include "platform/hashing.h"

class OpenSslHashing final : public Hashing {
public:
    bool Sha256(std::span<const uint8_t> bytes, Sha256Digest& digest) override;
};
