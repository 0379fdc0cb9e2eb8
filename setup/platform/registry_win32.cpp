// Registry over ADVAPI32.
#include <windows.h>

#include "platform/win32_platform.h"

static_assert(RegAccess::QueryValue == KEY_QUERY_VALUE && RegAccess::SetValue == KEY_SET_VALUE &&
              RegAccess::Write == KEY_WRITE && RegAccess::AllAccess == KEY_ALL_ACCESS);

namespace {

HKEY RootKey(RegRoot root) { return root == RegRoot::LocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CLASSES_ROOT; }
HKEY AsKey(RegKey key) { return reinterpret_cast<HKEY>(key); }

class Win32Registry final : public Registry {
public:
    bool Open(RegRoot root, const char* path, uint32_t access, RegKey& key) override {
        HKEY opened = nullptr;
        const LONG result = access == RegAccess::PlainOpen ? RegOpenKeyA(RootKey(root), path, &opened)
                                                           : RegOpenKeyExA(RootKey(root), path, 0, access, &opened);
        if (result != ERROR_SUCCESS) return false;
        key = reinterpret_cast<RegKey>(opened);
        return true;
    }

    bool Create(RegRoot root, const char* path, uint32_t access, RegKey& key) override {
        HKEY created = nullptr;
        DWORD disposition = 0;
        if (RegCreateKeyExA(RootKey(root), path, 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr, &created,
                            &disposition) != ERROR_SUCCESS) {
            return false;
        }
        key = reinterpret_cast<RegKey>(created);
        return true;
    }

    bool Query(RegKey key, const char* valueName, std::span<uint8_t> buffer, uint32_t& sizeRead) override {
        DWORD size = static_cast<DWORD>(buffer.size());
        if (RegQueryValueExA(AsKey(key), valueName, nullptr, nullptr, buffer.data(), &size) != ERROR_SUCCESS) {
            return false;
        }
        sizeRead = size;
        return true;
    }

    bool SetBinary(RegKey key, const char* valueName, std::span<const uint8_t> bytes) override {
        return RegSetValueExA(AsKey(key), valueName, 0, REG_BINARY, bytes.data(), static_cast<DWORD>(bytes.size())) ==
               ERROR_SUCCESS;
    }

    bool SetString(RegKey key, const char* valueName, const char* text) override {
        return RegSetValueExA(AsKey(key), valueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                              static_cast<DWORD>(lstrlenA(text) + 1)) == ERROR_SUCCESS;
    }

    bool SetDword(RegKey key, const char* valueName, uint32_t value) override {
        const DWORD data = value;
        return RegSetValueExA(AsKey(key), valueName, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data),
                              sizeof data) == ERROR_SUCCESS;
    }

    bool DeleteValue(RegKey key, const char* valueName) override {
        return RegDeleteValueA(AsKey(key), valueName) == ERROR_SUCCESS;
    }

    RegDeleteResult DeleteKey(RegRoot root, const char* path) override {
        const LONG result = RegDeleteKeyA(RootKey(root), path);
        if (result == ERROR_SUCCESS) return RegDeleteResult::Deleted;
        return result == ERROR_FILE_NOT_FOUND ? RegDeleteResult::NotFound : RegDeleteResult::Failed;
    }

    void Close(RegKey key) override { RegCloseKey(AsKey(key)); }
};

}  // namespace

Registry& Win32Registry() {
    static class Win32Registry registry;
    return registry;
}
