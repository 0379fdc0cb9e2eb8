#include "fake_registry.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>

namespace {

// Rights that change a key: set value, create subkey, delete, write DAC, write owner.
constexpr uint32_t kWriteRights = 0x0002 | 0x0004 | 0x10000 | 0x40000 | 0x80000;
constexpr uint32_t kKeyRead = 0x20019;

const char* RootName(RegRoot root) { return root == RegRoot::LocalMachine ? "HKLM" : "HKCR"; }

std::string Hex(uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%x", value);
    return text;
}

std::string PathPart(const std::string& id) {
    const size_t slash = id.find('\\');
    return slash == std::string::npos ? std::string() : id.substr(slash + 1);
}

}  // namespace

std::string FakeRegistry::Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

FakeRegistry::KeyId FakeRegistry::Id(RegRoot root, const std::string& path) {
    std::string trimmed = path;
    while (!trimmed.empty() && trimmed.back() == '\\') trimmed.pop_back();
    return trimmed.empty() ? std::string(RootName(root)) : std::string(RootName(root)) + "\\" + Lower(trimmed);
}

std::string FakeRegistry::Spelled(RegRoot root, const char* path) { return std::string(RootName(root)) + "\\" + path; }

FakeRegistry::KeyId FakeRegistry::Parent(const KeyId& id) {
    const size_t slash = id.find_last_of('\\');
    return slash == std::string::npos ? std::string() : id.substr(0, slash);
}

bool FakeRegistry::Fails(RegOp op, const KeyId& id) {
    if (interruption && interruption->Ends()) throw ProcessEnded{};
    ++calls;
    if (failAtCall && *failAtCall == calls) return true;
    return failOp && *failOp == op && (failPath.empty() || Lower(failPath) == PathPart(id));
}

bool FakeRegistry::WriteDenied(const KeyId& id) const {
    if (denyWrite_.count(id)) return true;
    return std::any_of(denyWriteSubtree_.begin(), denyWriteSubtree_.end(), [&](const KeyId& top) {
        return id == top || (id.size() > top.size() && id.compare(0, top.size(), top) == 0 && id[top.size()] == '\\');
    });
}

bool FakeRegistry::HasSubkeys(const KeyId& id) const {
    const std::string prefix = id + "\\";
    const auto next = keys_.lower_bound(prefix);
    return next != keys_.end() && next->first.compare(0, prefix.size(), prefix) == 0;
}

RegKey FakeRegistry::NewHandle(const KeyId& id, const std::string& spelled, uint32_t access) {
    const RegKey key = nextHandle_++;
    handles_[key] = {id, spelled, access};
    return key;
}

FakeRegistry::Handle* FakeRegistry::Find(RegKey key) {
    const auto it = handles_.find(key);
    return it == handles_.end() ? nullptr : &it->second;
}

bool FakeRegistry::Open(RegRoot root, const char* path, uint32_t access, RegKey& key) {
    log.push_back("open " + Spelled(root, path) + " " + Hex(access));
    const KeyId id = Id(root, path);
    if (Fails(RegOp::Open, id) || !keys_.count(id)) return false;
    const bool denied = WriteDenied(id);
    if ((access & kWriteRights) && denied) return false;
    // A plain open (RegOpenKeyA) gets the most the caller may have.
    const uint32_t granted = access == RegAccess::PlainOpen ? (denied ? kKeyRead : RegAccess::AllAccess) : access;
    key = NewHandle(id, Spelled(root, path), granted);
    return true;
}

bool FakeRegistry::Create(RegRoot root, const char* path, uint32_t access, RegKey& key) {
    log.push_back("create " + Spelled(root, path) + " " + Hex(access));
    const KeyId id = Id(root, path);
    if (Fails(RegOp::Create, id) || denyCreate_.count(id)) return false;
    if (keys_.count(id)) {
        if ((access & kWriteRights) && WriteDenied(id)) return false;
    } else {
        std::vector<KeyId> missing;
        for (KeyId at = id; at.find('\\') != std::string::npos && !keys_.count(at); at = Parent(at)) missing.push_back(at);
        for (const KeyId& created : missing) {
            if (WriteDenied(created) || WriteDenied(Parent(created))) return false;
        }
        for (const KeyId& created : missing) keys_[created];
    }
    key = NewHandle(id, Spelled(root, path), access);
    return true;
}

bool FakeRegistry::Query(RegKey key, const char* valueName, std::span<uint8_t> buffer, uint32_t& sizeRead) {
    Handle* handle = Find(key);
    log.push_back("query " + (handle ? handle->spelled : std::string("<invalid>")) + " " + valueName);
    if (!handle || Fails(RegOp::Query, handle->key) || !(handle->access & RegAccess::QueryValue)) return false;
    const auto found = keys_.find(handle->key);
    if (found == keys_.end()) return false;
    const auto value = found->second.values.find(Lower(valueName));
    if (value == found->second.values.end()) return false;
    const std::vector<uint8_t>& bytes = value->second.bytes;
    sizeRead = static_cast<uint32_t>(bytes.size());
    if (bytes.size() > buffer.size()) {
        // Win32 leaves the buffer's contents undefined when the value does not fit.
        std::fill(buffer.begin(), buffer.end(), uint8_t{0xCD});
        return false;
    }
    std::copy(bytes.begin(), bytes.end(), buffer.begin());
    return true;
}

bool FakeRegistry::SetValue(RegKey key, const char* valueName, RegType type, std::vector<uint8_t> bytes,
                            const char* logOp) {
    Handle* handle = Find(key);
    log.push_back(std::string(logOp) + " " + (handle ? handle->spelled : std::string("<invalid>")) + " " +
                  (valueName ? valueName : "(default)"));
    const RegOp op = type == RegType::Binary ? RegOp::SetBinary : type == RegType::String ? RegOp::SetString : RegOp::SetDword;
    if (!handle || Fails(op, handle->key)) return false;
    if (!(handle->access & RegAccess::SetValue) || WriteDenied(handle->key)) return false;
    const auto found = keys_.find(handle->key);
    if (found == keys_.end()) return false;
    found->second.values[Lower(valueName ? valueName : "")] = {type, std::move(bytes)};
    return true;
}

bool FakeRegistry::SetBinary(RegKey key, const char* valueName, std::span<const uint8_t> bytes) {
    return SetValue(key, valueName, RegType::Binary, {bytes.begin(), bytes.end()}, "setbinary");
}

bool FakeRegistry::SetString(RegKey key, const char* valueName, const char* text) {
    std::vector<uint8_t> bytes(text, text + std::strlen(text) + 1);  // REG_SZ keeps its terminator
    return SetValue(key, valueName, RegType::String, std::move(bytes), "setstring");
}

bool FakeRegistry::SetDword(RegKey key, const char* valueName, uint32_t value) {
    std::vector<uint8_t> bytes;
    for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<uint8_t>(value >> (8 * i)));
    return SetValue(key, valueName, RegType::Dword, std::move(bytes), "setdword");
}

bool FakeRegistry::DeleteValue(RegKey key, const char* valueName) {
    Handle* handle = Find(key);
    log.push_back("deletevalue " + (handle ? handle->spelled : std::string("<invalid>")) + " " +
                  (valueName ? valueName : "(default)"));
    if (!handle || Fails(RegOp::DeleteValue, handle->key)) return false;
    if (!(handle->access & RegAccess::SetValue) || WriteDenied(handle->key)) return false;
    const auto found = keys_.find(handle->key);
    return found != keys_.end() && found->second.values.erase(Lower(valueName ? valueName : "")) == 1;
}

RegDeleteResult FakeRegistry::DeleteKey(RegRoot root, const char* path) {
    log.push_back("delete " + Spelled(root, path));
    const KeyId id = Id(root, path);
    if (Fails(RegOp::DeleteKey, id)) return RegDeleteResult::Failed;
    if (!keys_.count(id)) return RegDeleteResult::NotFound;
    if (HasSubkeys(id) || denyDelete_.count(id) || WriteDenied(id)) return RegDeleteResult::Failed;
    keys_.erase(id);
    return RegDeleteResult::Deleted;
}

void FakeRegistry::Close(RegKey key) {
    const auto it = handles_.find(key);
    log.push_back("close " + (it == handles_.end() ? std::string("<invalid>") : it->second.spelled));
    if (it != handles_.end()) handles_.erase(it);
}

void FakeRegistry::AddKey(RegRoot root, const std::string& path) {
    for (KeyId at = Id(root, path); at.find('\\') != std::string::npos; at = Parent(at)) keys_[at];
}

void FakeRegistry::AddBinary(RegRoot root, const std::string& path, const std::string& name,
                             std::vector<uint8_t> bytes) {
    AddKey(root, path);
    keys_[Id(root, path)].values[Lower(name)] = {RegType::Binary, std::move(bytes)};
}

void FakeRegistry::AddString(RegRoot root, const std::string& path, const std::string& name, const std::string& text) {
    AddKey(root, path);
    std::vector<uint8_t> bytes(text.begin(), text.end());
    bytes.push_back(0);
    keys_[Id(root, path)].values[Lower(name)] = {RegType::String, std::move(bytes)};
}

void FakeRegistry::AddDword(RegRoot root, const std::string& path, const std::string& name, uint32_t value) {
    AddKey(root, path);
    std::vector<uint8_t> bytes;
    for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<uint8_t>(value >> (8 * i)));
    keys_[Id(root, path)].values[Lower(name)] = {RegType::Dword, std::move(bytes)};
}

void FakeRegistry::DenyWrite(RegRoot root, const std::string& path, bool subtree) {
    (subtree ? denyWriteSubtree_ : denyWrite_).insert(Id(root, path));
}

void FakeRegistry::DenyDelete(RegRoot root, const std::string& path) { denyDelete_.insert(Id(root, path)); }

void FakeRegistry::DenyCreate(RegRoot root, const std::string& path) { denyCreate_.insert(Id(root, path)); }

bool FakeRegistry::HasKey(RegRoot root, const std::string& path) const { return keys_.count(Id(root, path)) != 0; }

std::optional<std::vector<uint8_t>> FakeRegistry::Binary(RegRoot root, const std::string& path,
                                                         const std::string& name) const {
    const auto key = keys_.find(Id(root, path));
    if (key == keys_.end()) return std::nullopt;
    const auto value = key->second.values.find(Lower(name));
    if (value == key->second.values.end() || value->second.type != RegType::Binary) return std::nullopt;
    return value->second.bytes;
}

std::optional<std::string> FakeRegistry::String(RegRoot root, const std::string& path, const std::string& name) const {
    const auto key = keys_.find(Id(root, path));
    if (key == keys_.end()) return std::nullopt;
    const auto value = key->second.values.find(Lower(name));
    if (value == key->second.values.end() || value->second.type != RegType::String) return std::nullopt;
    const std::vector<uint8_t>& bytes = value->second.bytes;
    return std::string(bytes.begin(), std::find(bytes.begin(), bytes.end(), uint8_t{0}));
}

std::optional<uint32_t> FakeRegistry::Dword(RegRoot root, const std::string& path, const std::string& name) const {
    const auto key = keys_.find(Id(root, path));
    if (key == keys_.end()) return std::nullopt;
    const auto value = key->second.values.find(Lower(name));
    if (value == key->second.values.end() || value->second.type != RegType::Dword) return std::nullopt;
    const std::vector<uint8_t>& bytes = value->second.bytes;
    return static_cast<uint32_t>(bytes[0] | bytes[1] << 8 | bytes[2] << 16 | static_cast<uint32_t>(bytes[3]) << 24);
}

std::string FakeRegistry::Dump() const {
    std::string dump;
    for (const auto& [id, key] : keys_) {
        dump += id + "\n";
        for (const auto& [name, value] : key.values) {
            dump += "  " + name + " " + std::to_string(static_cast<int>(value.type)) + " ";
            for (uint8_t byte : value.bytes) dump += Hex(byte) + " ";
            dump += "\n";
        }
    }
    return dump;
}
