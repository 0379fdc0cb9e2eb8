#include "platform/hashing_posix.h"

#include <openssl/evp.h>

bool OpenSslHashing::Sha256(std::span<const uint8_t> bytes, Sha256Digest& digest) {
    unsigned int length = 0;
    return EVP_Digest(bytes.data(), bytes.size(), digest.data(), &length, EVP_sha256(), nullptr) == 1 &&
           length == digest.size();
}
