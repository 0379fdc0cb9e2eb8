#pragma once
// In-memory Registry with the Win32 rules the setup logic relies on: key and value names match
// without regard to letter case, Create makes missing parents, DeleteKey refuses a key with
// subkeys and answers NotFound for a missing one, a handle may only do what its access allows.
// Access rights are modelled per key (write denied, delete denied, creation refused), and any
// single operation can be made to fail. Every call is logged with the letter case and access used.
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "interruption.h"
#include "platform/ports.h"

enum class RegOp { Open, Create, Query, SetBinary, SetString, SetDword, DeleteValue, DeleteKey };

enum class RegType { Binary, String, Dword };

class FakeRegistry final : public Registry {
public:
    bool Open(RegRoot root, const char* path, uint32_t access, RegKey& key) override;
    bool Create(RegRoot root, const char* path, uint32_t access, RegKey& key) override;
    bool Query(RegKey key, const char* valueName, std::span<uint8_t> buffer, uint32_t& sizeRead) override;
    bool SetBinary(RegKey key, const char* valueName, std::span<const uint8_t> bytes) override;
    bool SetString(RegKey key, const char* valueName, const char* text) override;
    bool SetDword(RegKey key, const char* valueName, uint32_t value) override;
    bool DeleteValue(RegKey key, const char* valueName) override;
    RegDeleteResult DeleteKey(RegRoot root, const char* path) override;
    void Close(RegKey key) override;

    // Set-up. Paths are "A\B\C" below a root; AddKey creates missing parents.
    void AddKey(RegRoot root, const std::string& path);
    void AddBinary(RegRoot root, const std::string& path, const std::string& name, std::vector<uint8_t> bytes);
    void AddString(RegRoot root, const std::string& path, const std::string& name, const std::string& text);
    void AddDword(RegRoot root, const std::string& path, const std::string& name, uint32_t value);
    // The key (and with subtree, every key below it, present or later) refuses opens and creations
    // that ask for any write right, value writes, creation of subkeys and its own deletion.
    void DenyWrite(RegRoot root, const std::string& path, bool subtree = false);
    void DenyDelete(RegRoot root, const std::string& path);
    void DenyCreate(RegRoot root, const std::string& path);  // Create of exactly this key fails

    // Inspection.
    bool HasKey(RegRoot root, const std::string& path) const;
    std::optional<std::vector<uint8_t>> Binary(RegRoot root, const std::string& path, const std::string& name) const;
    // A REG_SZ value without its terminator; nullopt when missing or not a string. name "" is the default value.
    std::optional<std::string> String(RegRoot root, const std::string& path, const std::string& name) const;
    // nullopt when missing or not a DWORD.
    std::optional<uint32_t> Dword(RegRoot root, const std::string& path, const std::string& name) const;
    size_t KeyCount() const { return keys_.size(); }
    size_t OpenHandles() const { return handles_.size(); }
    // Every key with its values, one line each, in order: two registries with equal dumps are equal.
    std::string Dump() const;
    // The process ended: the system closes its keys.
    void EndProcess() { handles_.clear(); }

    // Fault injection: fail call number `failAtCall` (counting every call but Close from 1),
    // and/or every call of `failOp` on `failPath` (any key when failPath is empty).
    std::optional<size_t> failAtCall;
    std::optional<RegOp> failOp;
    std::string failPath;
    size_t calls = 0;
    // Ends the process at an operation counted on a clock shared with the file system (nullptr: never).
    Interruption* interruption = nullptr;

    // One line per call, names as the caller spelled them:
    //   "open HKLM\Software\KOVA 0x1", "create HKCR\KOVA\DefaultIcon 0xf003f",
    //   "query HKLM\Software\KOVA Config", "setbinary HKLM\software\kova config",
    //   "setstring HKCR\KOVA\DefaultIcon (default)", "setdword HKLM\...\SharedDLLs C:\x.dll", "deletevalue ...", "delete HKLM\software\kova\1.0", "close HKLM\Software\KOVA"
    std::vector<std::string> log;

private:
    struct Value {
        RegType type = RegType::Binary;
        std::vector<uint8_t> bytes;
    };
    struct Key {
        std::map<std::string, Value> values;  // by lower-case name; "" is the default value
    };
    struct Handle {
        std::string key;     // root-qualified lower-case key
        std::string spelled; // as the caller wrote it, for the log
        uint32_t access = 0;
    };
    using KeyId = std::string;

    static KeyId Id(RegRoot root, const std::string& path);
    static std::string Spelled(RegRoot root, const char* path);
    static std::string Lower(std::string text);
    static KeyId Parent(const KeyId& id);
    bool Fails(RegOp op, const KeyId& id);
    bool WriteDenied(const KeyId& id) const;
    bool HasSubkeys(const KeyId& id) const;
    RegKey NewHandle(const KeyId& id, const std::string& spelled, uint32_t access);
    Handle* Find(RegKey key);
    bool SetValue(RegKey key, const char* valueName, RegType type, std::vector<uint8_t> bytes, const char* logOp);

    std::map<KeyId, Key> keys_;
    std::set<KeyId> denyWrite_;
    std::set<KeyId> denyWriteSubtree_;
    std::set<KeyId> denyDelete_;
    std::set<KeyId> denyCreate_;
    std::map<RegKey, Handle> handles_;
    RegKey nextHandle_ = 0x1000;
};
