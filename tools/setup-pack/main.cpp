// setup-pack: builds a setup executable from an image and payload files (the same bytes as the
// setup program's build mode) and lists, verifies and extracts the archive of an existing setup.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "archive/archive.h"
#include "archive/setup_writer.h"
#include "archive_marker.h"
#include "background_hashing.h"
#include "digest_report.h"
#include "platform/files_posix.h"
#include "platform/hashing_posix.h"
#include "setup_file.h"
#include "windows_1252.h"

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

constexpr const char* kUsage =
    "usage: setup-pack build --image IMAGE --out OUTPUT [--no-digest] [--system FILE | FILE]...\n"
    "       setup-pack list SETUP\n"
    "       setup-pack verify SETUP\n"
    "       setup-pack extract SETUP --to DIR [--force] [--unchecked]\n"
    "       setup-pack --version\n"
    "\n"
    "build    append a setup archive carrying FILE... (in order) to IMAGE and write OUTPUT;\n"
    "         the entry name is the file's base name, stored in Windows-1252; --system FILE\n"
    "         marks the next file for the Windows system directory instead of the installation\n"
    "         directory. A setup carries 1 to 16 files, each name at most 255 characters and an\n"
    "         ordinary Windows file name, and is under 4 GiB in all. A digest record with the\n"
    "         SHA-256 of every body follows the bodies, unless --no-digest asks for exactly the\n"
    "         bytes of the setup's build mode\n"
    "list     print each entry: name, size, destination, body offset; and whether the digest record is there\n"
    "verify   exit 0 when the archive is well-formed and every body matches its digest, 1 with a\n"
    "         message otherwise; say whether a signature follows the archive\n"
    "extract  check the whole archive as verify does, then write every entry's body into DIR\n"
    "         (created if missing), system-directory entries into DIR/system; nothing is written\n"
    "         from a damaged archive, and one without a digest record (or with a record of a\n"
    "         version this tool does not know) only with --unchecked; an existing file is\n"
    "         replaced only with --force\n"
    "\n"
    "Options may come in any order; COMMAND --help prints this text.\n";

int UsageError(const std::string& message) {
    std::fprintf(stderr, "setup-pack: %s\n%s", message.c_str(), kUsage);
    return kExitUsage;
}

int Failure(const std::string& message) {
    std::fprintf(stderr, "setup-pack: %s\n", message.c_str());
    return kExitFailure;
}

std::string Cause(int error) { return std::strerror(error); }

std::string Quoted(std::string_view name) { return "\"" + PrintableName(name) + "\""; }

std::string BaseName(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string FolderOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

// What `path` is when it is not a regular file: a FIFO or a device would block a read or be
// replaced by the output, so only regular files are read or replaced.
std::string NotRegularFile(const std::string& path, mode_t mode) {
    if (S_ISDIR(mode)) return path + " is a folder, not a file";
    const char* kind = S_ISFIFO(mode)   ? "a FIFO"
                       : S_ISCHR(mode)  ? "a character device"
                       : S_ISBLK(mode)  ? "a block device"
                       : S_ISSOCK(mode) ? "a socket"
                       : S_ISLNK(mode)  ? "a symbolic link"
                                        : "not a file";
    return path + " is " + kind + ", not a regular file";
}

// An input must be a regular file that can be read. The open that follows (without blocking, and
// checked again) refuses whatever replaces it in between.
std::optional<std::string> InputProblem(const std::string& path, struct stat& status) {
    if (::stat(path.c_str(), &status) != 0) return "cannot read " + path + ": " + Cause(errno);
    if (!S_ISREG(status.st_mode)) return NotRegularFile(path, status.st_mode);
    return std::nullopt;
}

// An existing output is replaced only when it is a regular file: never a device node, a FIFO or a
// link (a rename would replace the node itself), and never one of the inputs.
std::optional<std::string> OutputProblem(const std::string& output, const std::vector<struct stat>& inputs,
                                         const std::vector<std::string>& inputPaths) {
    struct stat status {};
    if (::lstat(output.c_str(), &status) != 0) return std::nullopt;
    if (!S_ISREG(status.st_mode)) return NotRegularFile(output, status.st_mode);
    for (size_t i = 0; i < inputs.size(); ++i) {
        if (inputs[i].st_dev == status.st_dev && inputs[i].st_ino == status.st_ino) {
            return output + " is the same file as the input " + inputPaths[i] + ": choose another output";
        }
    }
    return std::nullopt;
}

// The command's words: options with a value, flags, and the rest in order. A repeated option is an error.
struct Arguments {
    std::vector<std::pair<std::string, std::string>> options;
    std::vector<std::string> flags;
    std::vector<std::string> rest;
    std::string error;

    const std::string* Option(std::string_view name) const {
        for (const auto& [key, value] : options) {
            if (key == name) return &value;
        }
        return nullptr;
    }
    bool Flag(std::string_view name) const {
        for (const std::string& flag : flags) {
            if (flag == name) return true;
        }
        return false;
    }
};

// `valued` options take the next word once; the `repeatable` one (build's --system) may come again
// and stays in `rest` with its value, so that the files keep their order.
Arguments Parse(const std::vector<std::string>& args, std::initializer_list<std::string_view> valued,
                std::initializer_list<std::string_view> flags, std::string_view repeatable = {}) {
    Arguments parsed;
    for (size_t i = 0; i < args.size() && parsed.error.empty(); ++i) {
        const std::string& arg = args[i];
        const bool isValued = std::find(valued.begin(), valued.end(), arg) != valued.end();
        if (isValued || arg == repeatable) {
            if (i + 1 == args.size()) {
                parsed.error = arg + " needs a value";
            } else if (arg == repeatable) {
                parsed.rest.push_back(arg);
                parsed.rest.push_back(args[++i]);
            } else if (parsed.Option(arg) != nullptr) {
                parsed.error = arg + " is given twice";
            } else {
                parsed.options.emplace_back(arg, args[++i]);
            }
        } else if (std::find(flags.begin(), flags.end(), arg) != flags.end()) {
            parsed.flags.push_back(arg);
        } else if (arg.starts_with("--")) {
            parsed.error = "unknown option " + arg;
        } else {
            parsed.rest.push_back(arg);
        }
    }
    return parsed;
}

struct PlannedEntry {
    std::string path;
    std::string name;  // in Windows-1252
    uint8_t destination = 0;
};

std::string WriteFailureMessage(const SetupWriteResult& result, int error, const std::vector<PlannedEntry>& entries,
                                const std::string& output) {
    const auto nameOf = [&](const char* path) {
        for (const PlannedEntry& entry : entries) {
            if (entry.path.c_str() == path) return Quoted(entry.name);
        }
        return std::string("\"\"");
    };
    switch (result.status) {
        case SetupWriteStatus::Written: break;
        case SetupWriteStatus::BadMarker: return "the archive marker does not fit its field";
        case SetupWriteStatus::TooManyFiles:
            return std::to_string(result.size) + " files given: a setup carries at most " +
                   std::to_string(kMaxArchiveEntries) + " files";
        case SetupWriteStatus::BadName:
            if (result.fault == ArchiveFault::SameName) {
                return "cannot carry " + std::string(result.path) + ": its name " + nameOf(result.path) +
                       " differs only in letter case from that of " + result.earlierPath +
                       ", and both go to the same folder";
            }
            return "cannot carry " + std::string(result.path) + " as " + nameOf(result.path) + ": " +
                   ArchiveFaultText(result.fault);
        case SetupWriteStatus::InputUnreadable:
            return "cannot read " + std::string(result.path) + ": " +
                   (error != 0 ? Cause(error) : "it changed while being read");
        case SetupWriteStatus::InputTooLarge:
            return "cannot carry " + std::string(result.path) + ": the setup would be " + std::to_string(result.size) +
                   " bytes, more than the " + std::to_string(kMaxSetupSize) +
                   " bytes (4 GiB less one byte) of the largest program file Windows starts";
        case SetupWriteStatus::OutputFailed:
            return "cannot write " + output + ": " + (error != 0 ? Cause(error) : "the write did not complete");
        case SetupWriteStatus::HashFailed:
            return "cannot write " + output + ": the SHA-256 of " + std::string(result.path) + " could not be computed";
    }
    return "cannot write " + output;
}

// The temporary file a build writes, beside the output, made by mkstemp (so never one that was
// there before) and removed unless Commit renames it into place. A build ended by SIGINT, SIGTERM
// or SIGHUP removes it too; one that is killed outright leaves a ".NAME.XXXXXX" no run reads.
class TemporaryOutput {
public:
    explicit TemporaryOutput(const std::string& output)
        : output_(output), path_(FolderOf(output) + "/." + BaseName(output) + ".XXXXXX") {
        descriptor = ::mkstemp(path_.data());
        if (descriptor >= 0) RemoveOnSignal(path_.c_str());
    }
    TemporaryOutput(const TemporaryOutput&) = delete;
    TemporaryOutput& operator=(const TemporaryOutput&) = delete;
    ~TemporaryOutput() {
        if (descriptor < 0) return;
        ::close(descriptor);
        if (!committed_) ::unlink(path_.c_str());
        RemoveOnSignal(nullptr);
    }

    // Makes the file executable through its descriptor, closes it and renames it over the output.
    bool Commit() {
        if (::fchmod(descriptor, 0755) != 0) return false;
        const int closed = ::close(descriptor);
        descriptor = -1;
        committed_ = closed == 0 && ::rename(path_.c_str(), output_.c_str()) == 0;
        const int error = errno;
        if (!committed_) ::unlink(path_.c_str());
        RemoveOnSignal(nullptr);
        errno = error;
        return committed_;
    }

    int descriptor = -1;

private:
    static void RemoveOnSignal(const char* path) {
        pendingPath = path;
        for (const int signal : {SIGINT, SIGTERM, SIGHUP}) std::signal(signal, path != nullptr ? Remove : SIG_DFL);
    }
    static void Remove(int signal) {
        if (const char* path = pendingPath) ::unlink(path);
        std::signal(signal, SIG_DFL);
        std::raise(signal);
    }
    static inline const char* volatile pendingPath = nullptr;

    std::string output_;
    std::string path_;
    bool committed_ = false;
};

std::string ChangedMessage(const std::string& path) { return path + " changed while being read"; }

// Refuses an image that carries an archive already: the setup would find the old one first.
std::optional<std::string> ImageProblem(const std::string& image) {
    SetupFile file;
    if (!file.Open(image.c_str())) return "cannot read " + image + ": " + Cause(errno);
    uint64_t at = 0;
    if (FindArchiveMarker(file, kArchiveMarkerText, at)) {
        return image + " already carries a setup archive (its marker is at offset " + std::to_string(at) +
               "): build from the setup image without archive";
    }
    const uint64_t imageEnd = ProgramImageEnd(file);
    if (file.Changed()) return ChangedMessage(image);
    if (file.Failed()) return "cannot read " + image + ": " + Cause(errno);
    if (imageEnd == 0) return image + " is not a setup image: it holds no program image (no PE header at its start)";
    if (imageEnd > file.Size()) {
        return image + " is cut short: its last section ends at offset " + std::to_string(imageEnd) + ", after its " +
               std::to_string(file.Size()) + " bytes";
    }
    return std::nullopt;
}

int Build(const std::vector<std::string>& args) {
    const Arguments parsed = Parse(args, {"--image", "--out"}, {"--no-digest"}, "--system");
    if (!parsed.error.empty()) return UsageError(parsed.error);
    const std::string* image = parsed.Option("--image");
    const std::string* output = parsed.Option("--out");
    if (image == nullptr || output == nullptr) return UsageError("build needs --image and --out");

    std::vector<PlannedEntry> entries;
    for (size_t i = 0; i < parsed.rest.size(); ++i) {
        const bool system = parsed.rest[i] == "--system";
        const std::string& path = system ? parsed.rest[++i] : parsed.rest[i];
        entries.push_back({path, "", static_cast<uint8_t>(system ? 1 : 0)});
    }
    if (entries.empty()) return UsageError("build needs at least one FILE: a setup carries 1 to 16 files");

    struct stat imageStatus{};
    if (const auto problem = InputProblem(*image, imageStatus)) return Failure(*problem);
    std::vector<struct stat> inputs{imageStatus};
    for (PlannedEntry& entry : entries) {
        struct stat status{};
        if (const auto problem = InputProblem(entry.path, status)) return Failure(*problem);
        inputs.push_back(status);
        const std::optional<std::string> name = Utf8ToWindows1252(BaseName(entry.path));
        if (!name) {
            return Failure("cannot carry " + entry.path +
                           ": its name cannot be written in Windows-1252, the code page the setup reads names in");
        }
        entry.name = *name;
    }
    std::vector<std::string> inputPaths{*image};
    for (const PlannedEntry& entry : entries) inputPaths.push_back(entry.path);
    if (const auto problem = OutputProblem(*output, inputs, inputPaths)) return Failure(*problem);
    if (const auto problem = ImageProblem(*image)) return Failure(*problem);

    // Written beside the output and renamed into place: a failure leaves any old output as it was.
    // Every write and the mode go through the descriptor mkstemp made, so a link swapped in for its
    // name in a folder others can write leads nowhere.
    TemporaryOutput temporary(*output);
    if (temporary.descriptor < 0) return Failure("cannot write " + *output + ": " + Cause(errno));

    std::vector<PayloadInput> payload;
    for (const PlannedEntry& entry : entries) payload.push_back({entry.path.c_str(), entry.name.c_str(), entry.destination});
    PosixFileSystem files;
    errno = 0;
    SetupWriteResult result;
    int error = 0;  // taken before the hasher's thread ends, which may change errno
    if (parsed.Flag("--no-digest")) {
        result = WriteSetupExecutableInto(files, kArchiveMarkerText, image->c_str(), payload, temporary.descriptor,
                                          output->c_str(), nullptr);
        error = errno;
    } else {
        OpenSslHashing sha256;
        BackgroundHashing hashing(sha256);
        result = WriteSetupExecutableInto(files, kArchiveMarkerText, image->c_str(), payload, temporary.descriptor,
                                          output->c_str(), &hashing);
        error = errno;
    }
    if (result.status != SetupWriteStatus::Written)
        return Failure(WriteFailureMessage(result, error, entries, *output));
    if (!temporary.Commit()) return Failure("cannot write " + *output + ": " + Cause(errno));
    return kExitOk;
}

std::string EntryLabel(const SetupArchive& archive, uint32_t index) {
    const char* name = ArchiveEntryNameField(archive, index);
    return "entry " + std::to_string(index + 1) + " " + Quoted({name, strnlen(name, kEntryNameSize)});
}

std::string DamageMessage(const std::string& path, const SetupArchive& archive, const ArchiveDamage& damage) {
    const std::string damaged = path + ": the setup archive is damaged: ";
    switch (damage.fault) {
        case ArchiveFault::TooManyEntries:
            return damaged + "it holds " + std::to_string(damage.count) + " entries; " +
                   ArchiveFaultText(damage.fault);
        case ArchiveFault::NoImage:
            return path + ": not a setup: " + ArchiveFaultText(damage.fault);

        case ArchiveFault::InsideImage:
        case ArchiveFault::NoEntries:
        case ArchiveFault::TablePastEnd:
        case ArchiveFault::BodiesPastEnd:
        case ArchiveFault::None: return damaged + ArchiveFaultText(damage.fault);
        case ArchiveFault::Unterminated:
            return damaged + "entry " + std::to_string(damage.entry + 1) + ": " + ArchiveFaultText(damage.fault);
        case ArchiveFault::SameName:
            return damaged + EntryLabel(archive, damage.entry) + ": " + ArchiveFaultText(damage.fault) + " (" +
                   EntryLabel(archive, damage.earlier) + ")";
        default:
            return damaged + EntryLabel(archive, damage.entry) + ": " + ArchiveFaultText(damage.fault);
    }
}

// A setup read by offset, and the archive in it.
struct LoadedSetup {
    SetupFile file;
    SetupArchive archive;
};

// What ends a command once the file has changed under it, whatever else went wrong.
int ReadFailure(const std::string& path, const LoadedSetup& setup, const std::string& message) {
    return Failure(setup.file.Changed() ? ChangedMessage(path) : message);
}

// For an archive inside the image: where its marker is and where the image ends.
std::string Placement(SetupFile& file, const ArchiveDamage& damage) {
    uint64_t marker = 0;
    if (damage.fault != ArchiveFault::InsideImage || !FindArchiveMarker(file, kArchiveMarkerText, marker)) return {};
    return " (the marker is at offset " + std::to_string(marker) + ", the last section ends at " +
           std::to_string(ProgramImageEnd(file)) + ")";
}

int Load(const std::string& path, LoadedSetup& setup) {
    struct stat status{};
    if (const auto problem = InputProblem(path, status)) return Failure(*problem);
    if (!setup.file.Open(path.c_str())) return Failure("cannot read " + path + ": " + Cause(errno));
    ArchiveDamage damage;
    switch (LocateSetupArchive(setup.file, kArchiveMarkerText, setup.archive, &damage)) {
        case ArchiveStatus::Found:
            return kExitOk;
        case ArchiveStatus::NoArchive:
            return ReadFailure(path, setup, path + ": no setup archive found");
        case ArchiveStatus::Damaged:
            return ReadFailure(path, setup, DamageMessage(path, setup.archive, damage) + Placement(setup.file, damage));
        case ArchiveStatus::Unreadable:
            return ReadFailure(path, setup, "cannot read " + path + ": " + Cause(errno));
    }
    return kExitFailure;
}

int List(const std::string& path) {
    LoadedSetup setup;
    if (const int status = Load(path, setup); status != kExitOk) return status;
    std::string listing;
    for (ArchiveEntry entry; NextArchiveEntry(setup.archive, entry);) {
        char line[512];
        std::snprintf(line, sizeof line, "%-32s %12u %11s %12llu\n", PrintableName(entry.name).c_str(), entry.size,
                      entry.destination ? "system" : "install", static_cast<unsigned long long>(entry.bodyOffset));
        listing += line;
    }
    listing += DigestRecordLine(setup.file, setup.archive);
    if (setup.file.Changed()) return Failure(ChangedMessage(path));
    std::printf("%-32s %12s %11s %12s\n%s\n", "name", "size", "destination", "body offset", listing.c_str());
    return kExitOk;
}

int Verify(const std::string& path) {
    LoadedSetup setup;
    if (const int status = Load(path, setup); status != kExitOk) return status;
    std::printf("%s: %u entries, archive at offset %llu\n", path.c_str(), setup.archive.count,
                static_cast<unsigned long long>(setup.archive.start));
    std::string line;
    if (!VerifyDigestRecord(setup.file, setup.archive, line)) return ReadFailure(path, setup, path + ": " + line);
    const std::string signature = SignatureLine(setup.file, setup.archive);
    if (setup.file.Changed()) return Failure(ChangedMessage(path));
    std::printf("%s\n%s\n", line.c_str(), signature.c_str());
    return kExitOk;
}

// Creates the folder and its missing parents.
bool MakeFolders(const std::string& path) {
    for (size_t slash = path.find('/', 1); ; slash = path.find('/', slash + 1)) {
        const std::string prefix = path.substr(0, slash);
        if (::mkdir(prefix.c_str(), 0777) != 0 && errno != EEXIST) return false;
        if (slash == std::string::npos) break;
    }
    struct stat status{};
    if (::stat(path.c_str(), &status) != 0) return false;
    if (!S_ISDIR(status.st_mode)) errno = ENOTDIR;
    return S_ISDIR(status.st_mode);
}

// A folder descriptor for DIR or DIR/system; the latter is made if missing and never followed as a link.
int OpenTargetFolder(int top, const char* sub, const std::string& shown, std::string& problem) {
    if (sub == nullptr) return ::dup(top);
    if (::mkdirat(top, sub, 0777) != 0 && errno != EEXIST) {
        problem = "cannot create " + shown + ": " + Cause(errno);
        return -1;
    }
    const int folder = ::openat(top, sub, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (folder < 0) problem = shown + " is not a folder (a link is never followed): " + Cause(errno);
    return folder;
}

struct Target {
    int folder = -1;
    std::string name;   // in UTF-8
    std::string shown;  // DIR/name or DIR/system/name
};

// Nothing is written before every target has been checked: a link is never followed, and an
// existing file is replaced only with --force.
std::optional<std::string> TargetProblem(const Target& target, bool force) {
    struct stat status{};
    if (::fstatat(target.folder, target.name.c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0) {
        return errno == ENOENT ? std::nullopt : std::optional("cannot check " + target.shown + ": " + Cause(errno));
    }
    if (S_ISLNK(status.st_mode)) return target.shown + " is a symbolic link: extract never follows links";
    if (!S_ISREG(status.st_mode)) return target.shown + " exists and is not a file";
    if (!force) return target.shown + " exists: give --force to replace it";
    return std::nullopt;
}

bool WriteAll(int file, std::span<const uint8_t> bytes) {
    for (size_t written = 0; written < bytes.size();) {
        const ssize_t wrote = ::write(file, bytes.data() + written, bytes.size() - written);
        if (wrote < 0 && errno == EINTR) continue;
        if (wrote <= 0) {
            if (wrote == 0) errno = ENOSPC;
            return false;
        }
        written += static_cast<size_t>(wrote);
    }
    return true;
}

// Writes one body as it reads it, hashing it against `digest` when the archive has a record: a
// body that no longer matches (the setup changed after it was checked) fails the write, with an
// empty text, as does a setup that can no longer be read. Without --force nothing is unlinked: the
// exclusive create fails on a file that appeared since the check, and that file is kept.
// `created` says whether this made the file, which is then the caller's to remove after a failure.
std::optional<std::string> WriteTarget(const Target& target, bool force, SetupBytes& file, const ArchiveEntry& entry,
                                       const uint8_t* digest, bool& created) {
    created = false;
    if (force && ::unlinkat(target.folder, target.name.c_str(), 0) != 0 && errno != ENOENT) {
        return "cannot replace " + target.shown + ": " + Cause(errno);
    }
    const int out =
        ::openat(target.folder, target.name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (out < 0) return "cannot create " + target.shown + ": " + Cause(errno);
    created = true;
    OpenSslHashing hashing;
    bool intact = digest == nullptr || hashing.Begin();
    for (uint64_t done = 0; intact && done < entry.size;) {
        const std::span<const uint8_t> piece = file.Read(entry.bodyOffset + done, entry.size - done);
        intact = !piece.empty() && (digest == nullptr || hashing.Add(piece));
        if (intact && !WriteAll(out, piece)) {
            const int error = errno;
            ::close(out);
            return "cannot write " + target.shown + ": " + Cause(error);
        }
        done += piece.size();
    }
    Sha256Digest hash{};
    if (intact && digest != nullptr)
        intact = hashing.Finish(hash) && std::memcmp(hash.data(), digest, hash.size()) == 0;
    if (::close(out) != 0) return "cannot write " + target.shown + ": " + Cause(errno);
    return intact ? std::nullopt : std::optional<std::string>(std::string());
}

// Whether the archive may be written out: checked against its digest record, or taken unchecked
// (no record, or one of a version this tool does not know) only when the user says so.
std::optional<std::string> ExtractProblem(const std::string& path, LoadedSetup& setup, bool unchecked,
                                          DigestCheckResult& check) {
    OpenSslHashing hashing;
    check = CheckArchiveDigests(hashing, setup.file, setup.archive);
    std::string line;
    const bool sound = DigestCheckLine(check, setup.archive.count, line);
    if (setup.file.Changed()) return ChangedMessage(path);
    switch (check.status) {
        case DigestCheck::Verified:
            return std::nullopt;
        case DigestCheck::NoRecord:
        case DigestCheck::UnknownVersion:
            if (unchecked) return std::nullopt;
            return path + ": " +
                   (sound ? std::string("the archive has no digest record, so its bodies cannot be checked") : line) +
                   ": give --unchecked to extract it anyway";
        default:
            return path + ": " + line + ": nothing extracted";
    }
}

int Extract(const std::string& path, const std::string& directory, bool force, bool unchecked) {
    LoadedSetup setup;
    if (const int status = Load(path, setup); status != kExitOk) return status;
    DigestCheckResult check;
    if (const auto problem = ExtractProblem(path, setup, unchecked, check)) return Failure(*problem);
    if (!MakeFolders(directory)) return Failure("cannot create the folder " + directory + ": " + Cause(errno));
    const int top = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (top < 0) return Failure("cannot open the folder " + directory + ": " + Cause(errno));

    std::string problem;
    int folders[2] = {-1, -1};  // installation directory, system directory
    std::vector<Target> targets;
    std::vector<ArchiveEntry> entries;
    for (ArchiveEntry entry; problem.empty() && NextArchiveEntry(setup.archive, entry);) {
        const int which = entry.destination != 0 ? 1 : 0;
        const std::string folderShown = directory + (which ? "/system" : "");
        if (folders[which] < 0) folders[which] = OpenTargetFolder(top, which ? "system" : nullptr, folderShown, problem);
        if (folders[which] < 0) break;
        const std::string name = Windows1252ToUtf8(entry.name);
        targets.push_back({folders[which], name, folderShown + "/" + PrintableName(entry.name)});
        entries.push_back(entry);
        if (const auto stop = TargetProblem(targets.back(), force)) problem = *stop;
    }
    std::vector<size_t> created;  // removed again when the extract fails after all
    for (size_t i = 0; problem.empty() && i < targets.size(); ++i) {
        const uint8_t* digest =
            check.status == DigestCheck::Verified ? check.record.digests + size_t{kSha256Size} * i : nullptr;
        bool made = false;
        if (const auto stop = WriteTarget(targets[i], force, setup.file, entries[i], digest, made)) {
            problem = stop->empty() ? ChangedMessage(path) : *stop;
        }
        if (made) created.push_back(i);
    }
    if (problem.empty() && setup.file.Changed()) problem = ChangedMessage(path);
    for (size_t i = 0; !problem.empty() && i < created.size(); ++i) {
        ::unlinkat(targets[created[i]].folder, targets[created[i]].name.c_str(), 0);
    }
    for (const int folder : folders) {
        if (folder >= 0) ::close(folder);
    }
    ::close(top);
    return problem.empty() ? kExitOk : Failure(problem);
}

int ReadCommand(const std::string& command, const std::vector<std::string>& args) {
    const Arguments parsed = Parse(args, {"--to"}, {"--force", "--unchecked"});
    if (!parsed.error.empty()) return UsageError(parsed.error);
    if (parsed.rest.size() != 1) return UsageError(command + " takes one setup file");
    const std::string* to = parsed.Option("--to");
    if (command == "extract") {
        if (to == nullptr) return UsageError("extract takes SETUP --to DIR");
        return Extract(parsed.rest[0], *to, parsed.Flag("--force"), parsed.Flag("--unchecked"));
    }
    if (to != nullptr || !parsed.flags.empty()) return UsageError(command + " takes no --to, --force or --unchecked");
    return command == "list" ? List(parsed.rest[0]) : Verify(parsed.rest[0]);
}

bool AsksForHelp(const std::vector<std::string>& args) {
    for (const std::string& arg : args) {
        if (arg == "--help" || arg == "-h") return true;
    }
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty()) return UsageError("no command given");
    const std::string command = args.front();
    args.erase(args.begin());
    if (command == "--help" || command == "-h" || command == "help" || AsksForHelp(args)) {
        std::fputs(kUsage, stdout);
        return kExitOk;
    }
    if (command == "--version") {
        std::printf("setup-pack %s\n", KOVA_VERSION);
        return kExitOk;
    }
    if (command == "build") return Build(args);
    if (command == "list" || command == "verify" || command == "extract") return ReadCommand(command, args);
    return UsageError("unknown command " + command);
}
