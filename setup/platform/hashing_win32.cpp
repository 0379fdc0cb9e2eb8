// SHA-256 from CryptoAPI through the AES provider, the one that knows SHA-256. The functions are
// looked up in advapi32 at the first hash, after WinMain has restricted the library search, and not
// imported: Windows forwards them to cryptsp.dll, which is no KnownDLL, and an imported forward is
// resolved before the program's first instruction, from the program's folder first. The provider,
// acquired at the first hash, is kept for the rest of the process, whose end releases it.
// clang-format off
#include <windows.h>
#include <wincrypt.h>  // needs windows.h first
// clang-format on

#include "platform/hashing.h"
#include "platform/system_libraries_win32.h"

namespace {

struct CryptoApi {
    decltype(&CryptAcquireContextA) acquireContext = nullptr;
    decltype(&CryptCreateHash) createHash = nullptr;
    decltype(&CryptHashData) hashData = nullptr;
    decltype(&CryptGetHashParam) getHashParam = nullptr;
    decltype(&CryptDestroyHash) destroyHash = nullptr;

    bool Load() {
        if (destroyHash != nullptr) return true;
        acquireContext = Entry<decltype(acquireContext)>("CryptAcquireContextA");
        createHash = Entry<decltype(createHash)>("CryptCreateHash");
        hashData = Entry<decltype(hashData)>("CryptHashData");
        getHashParam = Entry<decltype(getHashParam)>("CryptGetHashParam");
        destroyHash = Entry<decltype(destroyHash)>("CryptDestroyHash");
        return acquireContext && createHash && hashData && getHashParam && destroyHash;
    }

    template <class Function>
    static Function Entry(const char* name) {
        return SystemLibraryFunction<Function>("advapi32.dll", name);
    }
};

class CryptoApiHashing final : public Hashing {
public:
    bool Begin() override {
        if (!api_.Load()) return false;
        Release();
        if (provider_ == 0 &&
            !api_.acquireContext(&provider_, nullptr, nullptr, PROV_RSA_AES, CRYPT_VERIFYCONTEXT | CRYPT_SILENT)) {
            provider_ = 0;
            return false;
        }
        if (api_.createHash(provider_, CALG_SHA_256, 0, 0, &hash_)) return true;
        hash_ = 0;
        return false;
    }

    // The pieces come from the setup's read window, far below 4 GiB each.
    bool Add(std::span<const uint8_t> bytes) override {
        return hash_ != 0 && api_.hashData(hash_, bytes.data(), static_cast<DWORD>(bytes.size()), 0);
    }

    bool Finish(Sha256Digest& digest) override {
        DWORD length = static_cast<DWORD>(digest.size());
        const bool ok =
            hash_ != 0 && api_.getHashParam(hash_, HP_HASHVAL, digest.data(), &length, 0) && length == digest.size();
        Release();
        return ok;
    }

private:
    void Release() {
        if (hash_ != 0) api_.destroyHash(hash_);
        hash_ = 0;
    }

    CryptoApi api_;
    HCRYPTPROV provider_ = 0;
    HCRYPTHASH hash_ = 0;
};

CryptoApiHashing hashing;

}  // namespace

Hashing& Win32Hashing() { return hashing; }
