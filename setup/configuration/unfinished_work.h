#pragma once
// The record of work under way on the installation: the DWORD value "Unfinished" of KOVA's key,
// HKLM "Software\KOVA", beside "Config". An install, the refresh of an upgrade and an uninstall write
// it before their first change and remove it after their last step, so that a start after an
// interruption (a power cut, a process ended from the task manager) finds it and completes the
// work instead of offering only Update over a broken installation. KOVA and older setups read only
// "Config" and pass over it.
#include <cstdint>

#include "platform/ports.h"

enum class UnfinishedWork : uint32_t { None = 0, Install = 1, Refresh = 2, Uninstall = 3 };

inline constexpr char kUnfinishedValue[] = "Unfinished";

// Writes the record in KOVA's key, or with None removes it: the work it named is complete. False
// when the key could not be opened or the value not written.
bool RecordWork(Registry& registry, UnfinishedWork work);
// The recorded work: None when there is no record, or one this setup does not know.
UnfinishedWork FindUnfinishedWork(Registry& registry);
