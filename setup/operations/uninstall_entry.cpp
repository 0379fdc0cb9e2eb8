#include "operations/uninstall_entry.h"

#include "operations/installed_paths.h"
#include "resources/resource_ids.h"
#include "text/text_format.h"

namespace {

constexpr uint32_t KiB(uint64_t bytes) {
    const uint64_t kib = (bytes + 1023) / 1024;
    return kib > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(kib);
}

}  // namespace

bool WriteUninstallEntry(Platform& platform, const char* directory, uint64_t installedBytes) {
    char setupCopy[kMaxPath];
    char quoted[kMaxPath + 2];
    char icon[kMaxPath + 2];
    char version[16] = {};
    if (!BuildTargetPath(setupCopy, directory, kSetupCopyName)) return false;
    FormatText(quoted, sizeof quoted, "\"%s\"", setupCopy);
    FormatText(icon, sizeof icon, "%s,0", setupCopy);
    platform.strings.Load(IDS_VERSION, version, sizeof version);

    Registry& registry = platform.registry;
    RegKey key = 0;
    if (!registry.Create(RegRoot::LocalMachine, kUninstallEntryKey, RegAccess::SetValue, key)) return false;
    const bool ok =
        registry.SetString(key, "DisplayName", "KOVA") && registry.SetString(key, "DisplayVersion", version) &&
        registry.SetString(key, "DisplayIcon", icon) && registry.SetString(key, "InstallLocation", directory) &&
        registry.SetString(key, "UninstallString", quoted) &&
        registry.SetDword(key, "EstimatedSize", KiB(installedBytes)) && registry.SetDword(key, "NoRepair", 1);
    registry.Close(key);
    return ok;
}

void RemoveUninstallEntry(Registry& registry) { registry.DeleteKey(RegRoot::LocalMachine, kUninstallEntryKey); }
