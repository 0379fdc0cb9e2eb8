#include "operations/installed_paths.h"

#include <cstring>

#include "text/text_format.h"

namespace {

bool Fits(int length, char (&out)[kMaxPath]) {
    if (length >= 0 && static_cast<size_t>(length) < kMaxPath) return true;
    out[0] = '\0';
    return false;
}

// Nothing after a folder that ends in a backslash (a drive root such as C:\), else one backslash.
const char* Separator(const char* folder) {
    const size_t length = std::strlen(folder);
    return length > 0 && folder[length - 1] == '\\' ? "" : "\\";
}

}  // namespace

bool BuildCommandString(char (&out)[kMaxPath], const char* directory, bool filtered) {
    // The program path is quoted: unquoted, a blank in it would let the shell start a different program.
    const int length = FormatText(out, kMaxPath, "\"%s%sKOVA.exe\" dir=\"%%1\"%s", directory, Separator(directory),
                                  filtered ? " mode=filtered" : "");
    return Fits(length, out);
}

bool BuildIconString(char (&out)[kMaxPath], const char* directory) {
    return Fits(FormatText(out, kMaxPath, "%s%sKOVA.exe,0", directory, Separator(directory)), out);
}

bool BuildTargetPath(char (&out)[kMaxPath], const char* folder, const char* name) {
    return Fits(FormatText(out, kMaxPath, "%s%s%s", folder, Separator(folder), name), out);
}

bool BuildPartialPath(char (&out)[kMaxPath], const char* path) {
    const size_t length = std::strlen(path);
    if (!Fits(static_cast<int>(length + 1), out)) return false;
    size_t nameAt = length;
    while (nameAt > 0 && path[nameAt - 1] != '\\') --nameAt;
    std::memcpy(out, path, nameAt);
    out[nameAt] = '~';
    std::memcpy(out + nameAt + 1, path + nameAt, length - nameAt + 1);
    return true;
}
