#pragma once
// Every registry key the setup writes, reads or removes.
//
// Windows compares key names without regard to letter case, so "Software\KOVA" and "software\kova"
// are one key. Each step keeps the spelling it has always used, which is what a registry trace of
// the setup shows and what its texts quote: the dialog's load and save, install and uninstall
// spell the key "Software\KOVA"; the upgrade that runs before the dialog spells it "software\kova"
// (its assertion text quotes that call), opens version 1.0's key as "software\KOVA\1.0" and deletes
// and restores it as "software\kova\1.0".

// Under HKEY_LOCAL_MACHINE: "Config", the stored record.
inline constexpr char kKovaKey[] = "Software\\KOVA";
inline constexpr char kKovaKeyInUpgrade[] = "software\\kova";
// Under HKEY_LOCAL_MACHINE: "Settings", where version 1.0 kept them.
inline constexpr char kRelease10Key[] = "software\\KOVA\\1.0";
inline constexpr char kRelease10KeyInRemoval[] = "software\\kova\\1.0";
// Under HKEY_LOCAL_MACHINE, in the program's own view: KOVA's entry in the list of installed programs.
inline constexpr char kUninstallEntryKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\KOVA";

// Under HKEY_CLASSES_ROOT: the "Print" and "Print with Filter..." verbs of folders and drives, and
// KOVA's icon. Install writes the default value of each of these keys.
enum class ShellValue { Command, FilteredCommand, Icon };

struct ShellEntry {
    const char* key;
    ShellValue value;
};

inline constexpr ShellEntry kShellEntries[] = {
    {"Directory\\shell\\Print\\Command", ShellValue::Command},
    {"Drive\\shell\\Print\\Command", ShellValue::Command},
    {"Directory\\shell\\Print with Filter...\\Command", ShellValue::FilteredCommand},
    {"Drive\\shell\\Print with Filter...\\Command", ShellValue::FilteredCommand},
    {"KOVA\\DefaultIcon", ShellValue::Icon},
};

// Uninstall deletes the verbs, each command key before its verb key: a key with a subkey cannot be
// deleted. KOVA's icon key is left, as it always has been.
inline constexpr const char* kShellKeysToRemove[] = {
    "Directory\\shell\\print\\command",
    "Directory\\shell\\print",
    "Directory\\shell\\Print with Filter...\\command",
    "Directory\\shell\\Print with Filter...",
    "Drive\\shell\\print\\command",
    "Drive\\shell\\print",
    "Drive\\shell\\Print with Filter...\\command",
    "Drive\\shell\\Print with Filter...",
};
