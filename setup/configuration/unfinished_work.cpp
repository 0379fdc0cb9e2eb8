#include "configuration/unfinished_work.h"

#include "archive/little_endian.h"
#include "configuration/registry_keys.h"

bool RecordWork(Registry& registry, UnfinishedWork work) {
    RegKey key = 0;
    if (!registry.Open(RegRoot::LocalMachine, kKovaKey, RegAccess::SetValue, key)) return false;
    const bool written = work == UnfinishedWork::None
                             ? registry.DeleteValue(key, kUnfinishedValue)
                             : registry.SetDword(key, kUnfinishedValue, static_cast<uint32_t>(work));
    registry.Close(key);
    return written;
}

UnfinishedWork FindUnfinishedWork(Registry& registry) {
    RegKey key = 0;
    if (!registry.Open(RegRoot::LocalMachine, kKovaKey, RegAccess::QueryValue, key)) return UnfinishedWork::None;
    uint8_t bytes[4] = {};
    uint32_t size = 0;
    const bool read = registry.Query(key, kUnfinishedValue, bytes, size) && size == sizeof bytes;
    registry.Close(key);
    const uint32_t work = read ? ReadU32(bytes) : 0;
    return work <= static_cast<uint32_t>(UnfinishedWork::Uninstall) ? static_cast<UnfinishedWork>(work)
                                                                    : UnfinishedWork::None;
}
