// SHA-256 from CryptoAPI through the AES provider, the one that knows SHA-256. Its functions are
// taken from advapi32, a KnownDLL the image imports already, by name at the first hash rather than
// imported: five more imports would cost the image a further 512 bytes of its size budget. The
// provider, acquired at the first hash, is kept for the rest of the process, whose end releases it.
#include <windows.h>
#include <wincrypt.h>

#include "platform/hashing.h"

namespace {

// The CryptoAPI functions the hash needs, in the order of kCryptoFunctions; found at the first hash.
enum CryptoFunction { AcquireContext, CreateHash, HashData, GetHashParam, DestroyHash, kCryptoFunctionCount };
constexpr const char* kCryptoFunctions[kCryptoFunctionCount] = {
    "CryptAcquireContextA", "CryptCreateHash", "CryptHashData", "CryptGetHashParam", "CryptDestroyHash"};
FARPROC cryptoFunctions[kCryptoFunctionCount];

class CryptoApiHashing final : public Hashing {
public:
    bool Sha256(std::span<const uint8_t> bytes, Sha256Digest& digest) override {
        if (provider_ == 0 && !Start()) return false;
        HCRYPTHASH hash = 0;
        if (!Function<decltype(&CryptCreateHash)>(CreateHash)(provider_, CALG_SHA_256, 0, 0, &hash)) return false;
        // A SHA-256 value always fills the 32 bytes of `digest`; a buffer too small would fail the call.
        DWORD length = static_cast<DWORD>(digest.size());
        const bool ok =
            Function<decltype(&CryptHashData)>(HashData)(hash, bytes.data(), static_cast<DWORD>(bytes.size()), 0) &&
            Function<decltype(&CryptGetHashParam)>(GetHashParam)(hash, HP_HASHVAL, digest.data(), &length, 0);
        Function<decltype(&CryptDestroyHash)>(DestroyHash)(hash);
        return ok;
    }

private:
    template <class Type>
    Type Function(CryptoFunction which) const {
        return reinterpret_cast<Type>(reinterpret_cast<void*>(cryptoFunctions[which]));
    }

    bool Start() {
        // advapi32 is loaded with the image, which imports it.
        const HMODULE advapi32 = GetModuleHandleA("advapi32.dll");
        for (int i = 0; i < kCryptoFunctionCount; ++i) {
            if ((cryptoFunctions[i] = GetProcAddress(advapi32, kCryptoFunctions[i])) == nullptr) return false;
        }
        HCRYPTPROV provider = 0;
        if (!Function<decltype(&CryptAcquireContextA)>(AcquireContext)(&provider, nullptr, nullptr, PROV_RSA_AES,
                                                                         CRYPT_VERIFYCONTEXT | CRYPT_SILENT)) {
            return false;
        }
        provider_ = provider;
        return true;
    }

    HCRYPTPROV provider_ = 0;
};

CryptoApiHashing hashing;

}  // namespace

Hashing& Win32Hashing() { return hashing; }
