// Message boxes, the string table, the thread, and the aggregate of every Win32 adapter.
#include "platform/platform_win32.h"

#include <windows.h>

// The portable code speaks in the values the Win32 calls take and return.
static_assert(MessageStyle::Ok == MB_OK && MessageStyle::YesNo == MB_YESNO && MessageStyle::IconError == MB_ICONERROR &&
              MessageStyle::IconWarning == MB_ICONWARNING && MessageStyle::IconInformation == MB_ICONINFORMATION);
static_assert(kAnswerOk == IDOK && kAnswerYes == IDYES && kAnswerNo == IDNO);
static_assert(kMaxPath == MAX_PATH);

FileSystem& Win32Files();
Registry& Win32Registry();
Hashing& Win32Hashing();

namespace {

HINSTANCE moduleInstance = nullptr;

class Win32Strings final : public Strings {
public:
    int Load(int id, char* buffer, int capacity) override {
        if (capacity <= 0) return 0;
        buffer[0] = '\0';
        return LoadStringA(moduleInstance, static_cast<UINT>(id), buffer, capacity);
    }
};

class Win32Process final : public Process {
public:
    unsigned long CurrentThreadId() override { return GetCurrentThreadId(); }
    void EndProgram(int exitCode) override { ExitProcess(static_cast<UINT>(exitCode)); }
};

}  // namespace

int Win32Messages::Show(const char* text, const char* caption, uint32_t style) {
    return MessageBoxA(owner, text, caption, style);
}

void SetModuleInstance(HINSTANCE instance) { moduleInstance = instance; }

HINSTANCE ModuleInstance() { return moduleInstance; }

Platform& Win32Platform() {
    static Win32Messages messages;
    static Win32Strings strings;
    static Win32Process process;
    static Platform platform{Win32Registry(), Win32Files(), messages, strings, process, &Win32Hashing()};
    return platform;
}

Platform Win32PlatformWith(Messages& messages) {
    const Platform& platform = Win32Platform();
    return {platform.registry, platform.files, messages, platform.strings, platform.process, platform.hashing};
}
