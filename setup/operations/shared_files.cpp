#include "operations/shared_files.h"

namespace {

constexpr uint32_t kCountAccess = RegAccess::QueryValue | RegAccess::SetValue;

bool ReadCount(Registry& registry, RegKey key, const char* path, uint32_t& count) {
    uint8_t bytes[4] = {};
    uint32_t size = 0;
    if (!registry.Query(key, path, bytes, size) || size != sizeof bytes) return false;
    count = static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
            static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
    return true;
}

}  // namespace

SharedFileCountBefore AddSharedFileUser(Registry& registry, const char* path, bool fileWasThere) {
    SharedFileCountBefore before;
    RegKey key = 0;
    if (!registry.Create(RegRoot::LocalMachine, kSharedDllsKey, kCountAccess, key)) return before;
    before.hadCount = ReadCount(registry, key, path, before.count);
    const uint32_t count = before.hadCount ? before.count : fileWasThere ? 1 : 0;
    before.counted = count < UINT32_MAX && registry.SetDword(key, path, count + 1);
    registry.Close(key);
    return before;
}

void TakeBackSharedFileUser(Registry& registry, const char* path, const SharedFileCountBefore& before) {
    RegKey key = 0;
    if (!before.counted || !registry.Open(RegRoot::LocalMachine, kSharedDllsKey, kCountAccess, key)) return;
    if (before.hadCount) {
        registry.SetDword(key, path, before.count);
    } else {
        registry.DeleteValue(key, path);
    }
    registry.Close(key);
}

SharedFileRelease ReleaseSharedFile(Registry& registry, const char* path) {
    RegKey key = 0;
    if (!registry.Open(RegRoot::LocalMachine, kSharedDllsKey, kCountAccess, key)) return SharedFileRelease::StillUsed;
    uint32_t count = 0;
    SharedFileRelease release = SharedFileRelease::StillUsed;
    if (ReadCount(registry, key, path, count) && count > 0) {
        if (count == 1) {
            release = SharedFileRelease::LastUser;
        } else {
            registry.SetDword(key, path, count - 1);
        }
    }
    registry.Close(key);
    return release;
}

void ForgetSharedFile(Registry& registry, const char* path) {
    RegKey key = 0;
    if (!registry.Open(RegRoot::LocalMachine, kSharedDllsKey, kCountAccess, key)) return;
    registry.DeleteValue(key, path);
    registry.Close(key);
}
