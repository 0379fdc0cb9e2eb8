#pragma once
// In-memory FileSystem with Windows path rules (case-insensitive names, directories must exist
// before files are created in them) and fault injection for any single operation.
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "interruption.h"
#include "platform/ports.h"

enum class FileOp {
    ReadOwn,
    OpenRead,
    Read,
    Create,
    Write,
    Flush,
    Close,
    Delete,
    Rename,
    MakeDirectory,
    CanOpen,
    SystemDir,
    WindowsDir
};

class FakeFileSystem final : public FileSystem {
public:
    FakeFileSystem();

    bool OpenOwnExecutable(FileHandle& file, uint64_t& size) override;
    bool OpenRead(const char* path, FileHandle& file, uint64_t& size) override;
    long long Read(FileHandle file, std::span<uint8_t> buffer) override;
    long long ReadAt(FileHandle file, uint64_t offset, std::span<uint8_t> buffer) override;
    bool CreateTruncated(const char* path, FileHandle& file) override;
    bool Write(FileHandle file, std::span<const uint8_t> bytes) override;
    bool Flush(FileHandle file) override;
    bool Close(FileHandle file) override;
    bool Delete(const char* path) override;
    bool Rename(const char* from, const char* to) override;
    bool MakeDirectory(const char* path) override;
    bool CanOpenForReading(const char* path) override;
    bool SystemDirectory(char (&path)[kMaxPath]) override;
    bool WindowsDirectory(char (&path)[kMaxPath]) override;
    bool IsOwnExecutable(const char* path) override;

    // Test set-up and inspection. Paths are compared without regard to letter case.
    void AddFile(const std::string& path, std::vector<uint8_t> bytes);
    void AddFile(const std::string& path, const std::string& text);
    void AddDirectory(const std::string& path);
    bool HasFile(const std::string& path) const;
    bool HasDirectory(const std::string& path) const;
    std::vector<uint8_t> Contents(const std::string& path) const;
    std::vector<std::string> FilePaths() const;  // as first created, lower case
    size_t OpenHandles() const { return handles_.size(); }
    const std::map<std::string, std::vector<uint8_t>>& Files() const { return files_; }
    // The process ended: the system closes what it had open.
    void EndProcess() { handles_.clear(); }

    std::vector<uint8_t> ownExecutable;
    // Reads of the own file; ReadOwn in failOp fails its opening, and `failOwnReadAt` the read
    // that would reach that offset.
    size_t ownReads = 0;
    std::optional<uint64_t> failOwnReadAt;
    std::string systemDirectory = "C:\\WINDOWS\\system32";
    std::string windowsDirectory = "C:\\WINDOWS";
    // Every spelling under which the running program's own file is reached. As on Windows, the
    // running program's file cannot be opened for writing.
    std::set<std::string> ownExecutablePaths;

    // Fault injection: fail operation number `failAtCall` (counting every call from 1), and/or
    // every call of `failOp` on `failPath` (any path when failPath is empty).
    std::optional<size_t> failAtCall;
    std::optional<FileOp> failOp;
    std::string failPath;
    size_t calls = 0;
    std::vector<std::string> log;  // "op path" for every mutating call, in order
    // Ends the process at an operation counted on a clock shared with the registry (nullptr: never).
    Interruption* interruption = nullptr;

private:
    struct OpenFile {
        std::string key;
        bool writing = false;
        size_t position = 0;
        bool own = false;  // the running program's file, read from ownExecutable
    };
    bool Fails(FileOp op, const std::string& key);
    static std::string Key(const std::string& path);
    static std::string Parent(const std::string& key);

    std::map<std::string, std::vector<uint8_t>> files_;
    std::set<std::string> directories_;
    std::map<FileHandle, OpenFile> handles_;
    FileHandle nextHandle_ = 100;
};
