// SHA-256 from CryptoAPI (advapi32, a KnownDLL the image imports already) through the AES provider,
// the one that knows SHA-256. The provider, acquired at the first hash, is kept for the rest of the
// process, whose end releases it.
#include <windows.h>
#include <wincrypt.h>

#include "platform/hashing.h"

namespace {

class CryptoApiHashing final : public Hashing {
public:
    bool Sha256(std::span<const uint8_t> bytes, Sha256Digest& digest) override {
        if (provider_ == 0 && !CryptAcquireContextA(&provider_, nullptr, nullptr, PROV_RSA_AES,
                                                    CRYPT_VERIFYCONTEXT | CRYPT_SILENT)) {
            provider_ = 0;
            return false;
        }
        HCRYPTHASH hash = 0;
        if (!CryptCreateHash(provider_, CALG_SHA_256, 0, 0, &hash)) return false;
        DWORD length = static_cast<DWORD>(digest.size());
        const bool ok = CryptHashData(hash, bytes.data(), static_cast<DWORD>(bytes.size()), 0) &&
                        CryptGetHashParam(hash, HP_HASHVAL, digest.data(), &length, 0) && length == digest.size();
        CryptDestroyHash(hash);
        return ok;
    }

private:
    HCRYPTPROV provider_ = 0;
};

CryptoApiHashing hashing;

}  // namespace

Hashing& Win32Hashing() { return hashing; }
