#pragma once
// The version upgrade that runs before the dialog, the Install or Update command that stores the
// configuration and installs, and the assertion reporter. Its assertion texts name this file.
#include <cstddef>
#include <cstdint>
#include <span>

#include "configuration/configuration.h"
#include "platform/desktop.h"
#include "platform/ports.h"

// The Install or Update command: stores the record, then, when not `installed`, installs the files.
// A record that cannot be stored is reported and nothing is installed (a key this call created is
// removed again, so the next start still offers Install); returns false then, true otherwise.
bool StoreSettingsAndInstall(Platform& platform, const SetupDialog& record, bool installed);

// Finds an earlier installation, brings its stored configuration to the current layout and
// version, refreshes the installed files and tells the user. Ends the program (exit status -1)
// when the refresh fails, after putting the stored configuration back as it was (the next start
// tries the upgrade again), or when an assertion fails.
void CheckForUpgrade(Platform& platform);

// Completes the install, the refresh of an upgrade or the uninstall that a setup recorded as under
// way and did not finish (see configuration/unfinished_work.h): tells the user, then runs it again
// from this setup's archive with the stored settings and directory. Returns true when the program
// ends here: a completed install or uninstall ends it as an uninterrupted one does, a refresh that
// fails ends it with -1. False, the dialog to follow, after a refresh, when there was nothing to
// complete, when a setup without payload could not (it has said so; the dialog offers Uninstall), or
// when a newer setup recorded the work.
bool FinishUnfinishedWork(Platform& platform, ProgramLauncher& launcher, QuitRequest& quit);

// Shows the assertion box and ends the program with exit code -1.
void ReportAssertionFailure(Platform& platform, const char* expression, int line, const char* file);
