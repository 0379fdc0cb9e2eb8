#include "dialog/requirements.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "configuration/setup_dialog_record.h"
#include "fake_controls.h"
#include "fake_desktop.h"
#include "fake_registry.h"
#include "resources/resource_ids.h"

namespace {

TEST(Requirements, RegistryPrivilegeNeedsSoftwareAndFolderWritable) {
    enum class Denied { None, Software, Folder, FolderMissing };
    struct Case {
        const char* name;
        Denied denied;
        uint8_t privilege;
        std::vector<std::string> log;
    };
    const std::vector<std::string> both = {"open HKLM\\Software 0x20006", "close HKLM\\Software",
                                           "open HKCR\\Folder 0x20006", "close HKCR\\Folder"};
    const Case cases[] = {
        {"both writable", Denied::None, 1, both},
        {"Software read-only", Denied::Software, 0, {"open HKLM\\Software 0x20006"}},
        {"Folder read-only",
         Denied::Folder,
         0,
         {"open HKLM\\Software 0x20006", "close HKLM\\Software", "open HKCR\\Folder 0x20006"}},
        {"Folder missing",
         Denied::FolderMissing,
         0,
         {"open HKLM\\Software 0x20006", "close HKLM\\Software", "open HKCR\\Folder 0x20006"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeRegistry registry;
        registry.AddKey(RegRoot::LocalMachine, "Software");
        if (c.denied != Denied::FolderMissing) registry.AddKey(RegRoot::ClassesRoot, "Folder");
        if (c.denied == Denied::Software) registry.DenyWrite(RegRoot::LocalMachine, "Software");
        if (c.denied == Denied::Folder) registry.DenyWrite(RegRoot::ClassesRoot, "Folder");
        SetupDialog record{};
        record.registryPrivilege = 1 - c.privilege;  // a loaded configuration's value is replaced
        CheckRegistryPrivilege(registry, record);
        EXPECT_EQ(record.registryPrivilege, c.privilege);
        EXPECT_EQ(registry.log, c.log);
        EXPECT_EQ(registry.OpenHandles(), 0u);
    }
}

TEST(Requirements, PrintersFillTheListAndInstallNeedsBothRequirements) {
    struct Case {
        const char* name;
        std::vector<std::string> printers;
        bool enumerationFails;
        uint8_t privilege;
        int32_t count;
        std::vector<std::string> list;
        bool installEnabled;
    };
    const Case cases[] = {
        {"printers and privilege", {"Zeta", "alpha", "Beta"}, false, 1, 3, {"alpha", "Beta", "Zeta"}, true},
        {"printers without privilege", {"Zeta"}, false, 0, 1, {"Zeta"}, false},
        {"no printer", {}, false, 1, 0, {}, false},
        {"failed enumeration", {"Zeta"}, true, 1, 0, {}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeControls controls;
        FakePrinters printers;
        printers.names = c.printers;
        printers.fails = c.enumerationFails;
        SetupDialog record{};
        record.printerCount = 99;  // a loaded configuration's value is replaced
        record.registryPrivilege = c.privilege;
        CheckPrinters(printers, controls, record);
        EnableInstallWhenRequirementsMet(controls, record);
        EXPECT_EQ(record.printerCount, c.count);
        EXPECT_EQ(controls.Items(IDC_PRINTER_LIST), c.list);
        EXPECT_EQ(controls.Enabled(1), c.installEnabled);
        EXPECT_EQ(RequirementsMet(record), c.installEnabled);
    }
}

}  // namespace
