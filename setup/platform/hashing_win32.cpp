// SHA-256 from CryptoAPI (advapi32, a KnownDLL the image imports already) through the AES provider,
// the one that knows SHA-256. The provider, acquired at the first hash, is kept for the rest of the
// process, whose end releases it.
#include <windows.h>
#include <wincrypt.h>

#include "platform/hashing.h"

namespace {

class CryptoApiHashing final : public Hashing {
public:
    bool Begin() override {
        Release();
        if (provider_ == 0 && !CryptAcquireContextA(&provider_, nullptr, nullptr, PROV_RSA_AES,
                                                    CRYPT_VERIFYCONTEXT | CRYPT_SILENT)) {
            provider_ = 0;
            return false;
        }
        if (CryptCreateHash(provider_, CALG_SHA_256, 0, 0, &hash_)) return true;
        hash_ = 0;
        return false;
    }

    // The pieces come from the setup's read window, far below 4 GiB each.
    bool Add(std::span<const uint8_t> bytes) override {
        return hash_ != 0 && CryptHashData(hash_, bytes.data(), static_cast<DWORD>(bytes.size()), 0);
    }

    bool Finish(Sha256Digest& digest) override {
        DWORD length = static_cast<DWORD>(digest.size());
        const bool ok =
            hash_ != 0 && CryptGetHashParam(hash_, HP_HASHVAL, digest.data(), &length, 0) && length == digest.size();
        Release();
        return ok;
    }

private:
    void Release() {
        if (hash_ != 0) CryptDestroyHash(hash_);
        hash_ = 0;
    }

    HCRYPTPROV provider_ = 0;
    HCRYPTHASH hash_ = 0;
};

CryptoApiHashing hashing;

}  // namespace

Hashing& Win32Hashing() { return hashing; }
