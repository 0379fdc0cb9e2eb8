#pragma once
// The requirements check (a local printer, and the right to write the registry). The results decide
// once per dialog whether Install can be pressed.
#include "configuration/setup_dialog_record.h"
#include "platform/controls.h"
#include "platform/desktop.h"
#include "platform/ports.h"

// Registry part (after the configuration is loaded): registryPrivilege is 1 when HKLM "Software"
// and then HKCR "Folder" both open for writing. Every key opened is closed again; nothing is written.
void CheckRegistryPrivilege(Registry& registry, SetupDialog& record);

// Printer part (after the tabs are inserted): printerCount and the printer list 1020. A failed
// enumeration counts as no printers.
void CheckPrinters(Printers& printers, Controls& controls, SetupDialog& record);

bool RequirementsMet(const SetupDialog& record);

// Enables Install (button 1) exactly when both requirements are met.
void EnableInstallWhenRequirementsMet(Controls& controls, const SetupDialog& record);
