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
