#include "platform/hashing_posix.h"

#include <openssl/evp.h>

OpenSslHashing::OpenSslHashing() : context_(EVP_MD_CTX_new()) {}

OpenSslHashing::~OpenSslHashing() { EVP_MD_CTX_free(context_); }

bool OpenSslHashing::Begin() { return context_ != nullptr && EVP_DigestInit_ex(context_, EVP_sha256(), nullptr) == 1; }

bool OpenSslHashing::Add(std::span<const uint8_t> bytes) {
    return context_ != nullptr && EVP_DigestUpdate(context_, bytes.data(), bytes.size()) == 1;
}

bool OpenSslHashing::Finish(Sha256Digest& digest) {
    unsigned int length = 0;
    return context_ != nullptr && EVP_DigestFinal_ex(context_, digest.data(), &length) == 1 && length == digest.size();
}
