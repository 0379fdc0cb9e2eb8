#include "platform/volumes_win32.h"

#include <windows.h>

namespace {

class FileSystemVolumes final : public Volumes {
public:
    bool RootExists(const char* root) override {
        // An empty removable drive would otherwise ask the user to insert a disk.
        const UINT previousMode = SetErrorMode(SEM_FAILCRITICALERRORS);
        const DWORD attributes = GetFileAttributesA(root);
        SetErrorMode(previousMode);
        return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    }
};

}  // namespace

Volumes& Win32Volumes() {
    static FileSystemVolumes volumes;
    return volumes;
}
