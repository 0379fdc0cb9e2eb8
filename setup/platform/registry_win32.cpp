// Registry over ADVAPI32.
#include <windows.h>

#include "platform/platform_win32.h"

static_assert(RegAccess::QueryValue == KEY_QUERY_VALUE && RegAccess::SetValue == KEY_SET_VALUE &&
              RegAccess::Write == KEY_WRITE && RegAccess::AllAccess == KEY_ALL_ACCESS);

namespace {

HKEY RootKey(RegRoot root) { return root == RegRoot::LocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CLASSES_ROOT; }

// The registry view of each root for the 32-bit setup on 64-bit Windows. HKLM keys are in the
// program's own, 32-bit view: HKLM\Software is redirected to Software\Wow6432Node, where the 32-bit
// KOVA.exe reads its configuration and where Windows' installers count their 32-bit shared files.
// The shell's keys under HKCR are for Explorer, a 64-bit program there: they are opened in the
// 64-bit view. Windows shares those keys between both views (from Windows 7 on), so there the flag
// changes nothing; Wine (8.0) redirects all of Software\Classes for 32-bit programs, and without the
// flag Explorer would never see the verbs. A 64-bit program, and 32-bit Windows, ignore the flag.
REGSAM InView(RegRoot root, REGSAM access) { return root == RegRoot::ClassesRoot ? access | KEY_WOW64_64KEY : access; }
HKEY AsKey(RegKey key) { return reinterpret_cast<HKEY>(key); }

// RegDeleteKeyA deletes in the program's own view only. RegDeleteKeyExA, which takes the view, is
// missing from 32-bit Windows before Vista, which has no other view: looked up, not imported.
LONG DeleteKeyIn64BitView(const char* path) {
    using DeleteKeyEx = LONG(WINAPI*)(HKEY, LPCSTR, REGSAM, DWORD);
    const FARPROC entry = GetProcAddress(GetModuleHandleA("advapi32.dll"), "RegDeleteKeyExA");
    const auto deleteKeyEx = reinterpret_cast<DeleteKeyEx>(reinterpret_cast<void*>(entry));
    return deleteKeyEx ? deleteKeyEx(HKEY_CLASSES_ROOT, path, KEY_WOW64_64KEY, 0)
                       : RegDeleteKeyA(HKEY_CLASSES_ROOT, path);
}

class Win32Registry final : public Registry {
public:
    bool Open(RegRoot root, const char* path, uint32_t access, RegKey& key) override {
        HKEY opened = nullptr;
        const LONG result =
            access == RegAccess::PlainOpen && root == RegRoot::LocalMachine
                ? RegOpenKeyA(RootKey(root), path, &opened)
                : RegOpenKeyExA(RootKey(root), path, 0,
                                InView(root, access == RegAccess::PlainOpen ? MAXIMUM_ALLOWED : access), &opened);
        if (result != ERROR_SUCCESS) return false;
        key = reinterpret_cast<RegKey>(opened);
        return true;
    }

    bool Create(RegRoot root, const char* path, uint32_t access, RegKey& key) override {
        HKEY created = nullptr;
        DWORD disposition = 0;
        if (RegCreateKeyExA(RootKey(root), path, 0, nullptr, REG_OPTION_NON_VOLATILE, InView(root, access), nullptr,
                            &created, &disposition) != ERROR_SUCCESS) {
            return false;
        }
        key = reinterpret_cast<RegKey>(created);
        return true;
    }

    bool Query(RegKey key, const char* valueName, std::span<uint8_t> buffer, uint32_t& sizeRead) override {
        DWORD size = static_cast<DWORD>(buffer.size());
        const LONG result = RegQueryValueExA(AsKey(key), valueName, nullptr, nullptr, buffer.data(), &size);
        if (result == ERROR_SUCCESS || result == ERROR_MORE_DATA) sizeRead = size;
        return result == ERROR_SUCCESS;
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
        return RegSetValueExA(AsKey(key), valueName, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof data) ==
               ERROR_SUCCESS;
    }

    bool DeleteValue(RegKey key, const char* valueName) override {
        return RegDeleteValueA(AsKey(key), valueName) == ERROR_SUCCESS;
    }

    RegDeleteResult DeleteKey(RegRoot root, const char* path) override {
        const LONG result =
            root == RegRoot::ClassesRoot ? DeleteKeyIn64BitView(path) : RegDeleteKeyA(RootKey(root), path);
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
