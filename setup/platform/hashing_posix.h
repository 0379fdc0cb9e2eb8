#pragma once
// SHA-256 on the build machine, from OpenSSL's libcrypto.
#include "platform/hashing.h"

struct evp_md_ctx_st;

class OpenSslHashing final : public Hashing {
public:
    OpenSslHashing();
    ~OpenSslHashing();
    OpenSslHashing(const OpenSslHashing&) = delete;
    OpenSslHashing& operator=(const OpenSslHashing&) = delete;
    bool Begin() override;
    bool Add(std::span<const uint8_t> bytes) override;
    bool Finish(Sha256Digest& digest) override;

private:
    evp_md_ctx_st* context_;
};
