// setup-pack: builds a setup executable from an image and payload files (the same bytes as the
// setup program's build mode) and lists, verifies and extracts the archive of an existing setup.
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "archive.h"
#include "archive_marker.h"
#include "platform/files_posix.h"
#include "setup_writer.h"

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

constexpr const char* kUsage =
    "usage: setup-pack build --image IMAGE --out OUTPUT [--system FILE | FILE]...\n"
    "       setup-pack list SETUP\n"
    "       setup-pack verify SETUP\n"
    "       setup-pack extract SETUP --to DIR\n"
    "\n"
    "build    append a setup archive carrying FILE... (in order) to IMAGE and write OUTPUT;\n"
    "         the entry name is the file's base name; --system FILE marks the next file for\n"
    "         the Windows system directory (destination 1) instead of the installation directory\n"
    "list     print each entry: name, size, destination, body offset\n"
    "verify   exit 0 when the archive is well-formed, 1 with a message otherwise\n"
    "extract  write every entry's body into DIR\n";

int UsageError(const std::string& message) {
    std::fprintf(stderr, "setup-pack: %s\n%s", message.c_str(), kUsage);
    return kExitUsage;
}

int Failure(const std::string& message) {
    std::fprintf(stderr, "setup-pack: %s\n", message.c_str());
    return kExitFailure;
}

std::string BaseName(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

int Build(const std::vector<std::string>& args) {
    std::string image, output;
    std::vector<std::string> paths, names;
    std::vector<uint8_t> destinations;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--image" || arg == "--out" || arg == "--system") {
            if (i + 1 == args.size()) return UsageError(arg + " needs a file name");
            const std::string& value = args[++i];
            if (arg == "--image") image = value;
            else if (arg == "--out") output = value;
            else {
                paths.push_back(value);
                destinations.push_back(1);
            }
        } else if (arg.starts_with("--")) {
            return UsageError("unknown option " + arg);
        } else {
            paths.push_back(arg);
            destinations.push_back(0);
        }
    }
    if (image.empty() || output.empty()) return UsageError("build needs --image and --out");
    std::vector<PayloadInput> payload;
    for (const std::string& path : paths) names.push_back(BaseName(path));
    for (size_t i = 0; i < paths.size(); ++i) {
        payload.push_back({paths[i].c_str(), names[i].c_str(), destinations[i]});
    }

    PosixFileSystem files;
    const SetupWriteResult result = WriteSetupExecutable(files, kArchiveMarkerText, image.c_str(), payload,
                                                         output.c_str());
    switch (result.status) {
        case SetupWriteStatus::Written:
            ::chmod(output.c_str(), 0755);  // a setup is a program
            return kExitOk;
        case SetupWriteStatus::BadMarker: return Failure("the archive marker does not fit its field");
        case SetupWriteStatus::BadName:
            return Failure(std::string("cannot carry ") + result.path +
                           ": the entry name must be 1 to 259 characters without \\ / or :, and at most 16 files");
        case SetupWriteStatus::InputUnreadable:
            return Failure(std::string("cannot read ") + result.path + ": " + std::strerror(errno));
        case SetupWriteStatus::InputTooLarge:
            return Failure(std::string(result.path) + " is larger than an entry can hold (4 GiB - 1)");
        case SetupWriteStatus::OutputFailed:
            return Failure("cannot write " + output + ": " + std::strerror(errno));
    }
    return kExitFailure;
}

int Load(const std::string& path, PosixFileSystem& files, MappedSetupFile& setup) {
    if (!files.MapFile(path.c_str(), setup.view)) {
        return Failure("cannot read " + path + ": " + std::strerror(errno));
    }
    switch (LocateSetupArchive(setup.bytes(), kArchiveMarkerText, setup.archive)) {
        case ArchiveStatus::Found: return kExitOk;
        case ArchiveStatus::NoArchive: return Failure(path + ": no setup archive found");
        case ArchiveStatus::Damaged:
            return Failure(path +
                           ": the setup archive is damaged (its table or bodies run past the end of the file, "
                           "or an entry name is not a zero-terminated bare file name)");
    }
    return kExitFailure;
}

int List(const std::string& path) {
    PosixFileSystem files;
    MappedSetupFile setup(files);
    if (const int status = Load(path, files, setup); status != kExitOk) return status;
    std::printf("%-32s %12s %11s %12s\n", "name", "size", "destination", "body offset");
    for (ArchiveEntry entry; NextArchiveEntry(setup.bytes(), setup.archive, entry);) {
        std::printf("%-32s %12u %11s %12zu\n", entry.name, entry.size, entry.destination ? "system" : "install",
                    entry.bodyOffset);
    }
    return kExitOk;
}

int Verify(const std::string& path) {
    PosixFileSystem files;
    MappedSetupFile setup(files);
    if (const int status = Load(path, files, setup); status != kExitOk) return status;
    std::printf("%s: %u entries, archive at offset %zu\n", path.c_str(), setup.archive.count, setup.archive.start);
    return kExitOk;
}

int Extract(const std::string& path, const std::string& directory) {
    PosixFileSystem files;
    MappedSetupFile setup(files);
    if (const int status = Load(path, files, setup); status != kExitOk) return status;
    for (ArchiveEntry entry; NextArchiveEntry(setup.bytes(), setup.archive, entry);) {
        const std::string target = directory + "/" + entry.name;
        FileHandle out = -1;
        if (!files.CreateTruncated(target.c_str(), out)) {
            return Failure("cannot create " + target + ": " + std::strerror(errno));
        }
        const bool written = files.Write(out, setup.bytes().subspan(entry.bodyOffset, entry.size));
        if (!files.Close(out) || !written) return Failure("cannot write " + target + ": " + std::strerror(errno));
    }
    return kExitOk;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty()) return UsageError("no command given");
    const std::string command = args.front();
    args.erase(args.begin());
    if (command == "--help" || command == "-h" || command == "help") {
        std::fputs(kUsage, stdout);
        return kExitOk;
    }
    if (command == "build") return Build(args);
    if (command == "list" || command == "verify") {
        if (args.size() != 1) return UsageError(command + " takes one setup file");
        return command == "list" ? List(args[0]) : Verify(args[0]);
    }
    if (command == "extract") {
        if (args.size() != 3 || args[1] != "--to") return UsageError("extract takes SETUP --to DIR");
        return Extract(args[0], args[2]);
    }
    return UsageError("unknown command " + command);
}
