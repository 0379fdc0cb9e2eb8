#include "dialog/requirements.h"

#include <cstring>

#include "resources/resource_ids.h"

namespace {

bool CanWrite(Registry& registry, RegRoot root, const char* path) {
    RegKey key = 0;
    if (!registry.Open(root, path, RegAccess::Write, key)) return false;
    registry.Close(key);
    return true;
}

class PrinterListFiller final : public NameSink {
public:
    explicit PrinterListFiller(Controls& controls) : controls_(controls) {}
    void Add(const char* name) override { controls_.AddString(IDC_PRINTER_LIST, name); }

private:
    Controls& controls_;
};

}  // namespace

void CheckRegistryPrivilege(Registry& registry, SetupDialog& record) {
    const bool privileged =
        CanWrite(registry, RegRoot::LocalMachine, "Software") && CanWrite(registry, RegRoot::ClassesRoot, "Folder");
    record.registryPrivilege = privileged ? 1 : 0;
}

void CheckPrinters(Printers& printers, Controls& controls, SetupDialog& record) {
    PrinterListFiller list(controls);
    const int count = printers.EnumerateLocal(list);
    record.printerCount = count > 0 ? count : 0;
}

bool RequirementsMet(const SetupDialog& record) { return record.printerCount > 0 && record.registryPrivilege != 0; }

void EnableInstallWhenRequirementsMet(Controls& controls, const SetupDialog& record) {
    controls.Enable(IDC_INSTALL, RequirementsMet(record));
}

void SetInstallationDirectory(Controls& controls, ProgramsFolder& programs, SetupDialog& record, bool installed) {
    char directory[kMaxPath] = {};
    if (installed) {
        const std::string_view stored = RecordText(record.installationDirectory);
        std::memcpy(directory, stored.data(), stored.size());
    } else {
        if (!programs.Path(directory)) std::memset(directory, 0, kMaxPath);
        directory[kMaxPath - 1] = '\0';
        std::memcpy(record.installationDirectory, directory, kMaxPath);
    }
    controls.SetText(IDC_INSTALLATION_DIRECTORY, directory);
}
