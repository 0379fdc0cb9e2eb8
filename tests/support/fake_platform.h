#pragma once
// Every port faked, and the Platform aggregate over them: the base of the tests that run the
// core's procedures (configuration, installation, uninstall, start-up).
#include "fake_file_system.h"
#include "fake_messages.h"
#include "fake_process.h"
#include "fake_registry.h"
#include "platform/ports.h"
#include "rc_strings.h"

struct FakePlatform {
    FakeRegistry registry;
    FakeFileSystem files;
    FakeMessages messages;
    RcStrings strings;
    FakeProcess process;
    Platform platform{registry, files, messages, strings, process};
};
