#include "fake_file_system.h"

#include <algorithm>
#include <cctype>
#include <cstring>

FakeFileSystem::FakeFileSystem() {
    AddDirectory("C:");
    AddDirectory("C:\\WINDOWS");
    AddDirectory("C:\\WINDOWS\\system32");
}

std::string FakeFileSystem::Key(const std::string& path) {
    std::string key = path;
    std::transform(key.begin(), key.end(), key.begin(), [](unsigned char c) { return std::tolower(c); });
    while (key.size() > 1 && key.back() == '\\') key.pop_back();
    return key;
}

std::string FakeFileSystem::Parent(const std::string& key) {
    const size_t slash = key.find_last_of('\\');
    return slash == std::string::npos ? std::string() : key.substr(0, slash);
}

bool FakeFileSystem::Fails(FileOp op, const std::string& key) {
    // Closing changes nothing the next start finds (and runs in destructors, which cannot throw).
    if (op != FileOp::Close && interruption && interruption->Ends()) throw ProcessEnded{};
    ++calls;
    if (failAtCall && *failAtCall == calls) return true;
    return failOp && *failOp == op && (failPath.empty() || Key(failPath) == key);
}

void FakeFileSystem::AddFile(const std::string& path, std::vector<uint8_t> bytes) { files_[Key(path)] = std::move(bytes); }

void FakeFileSystem::AddFile(const std::string& path, const std::string& text) {
    AddFile(path, std::vector<uint8_t>(text.begin(), text.end()));
}

void FakeFileSystem::AddDirectory(const std::string& path) { directories_.insert(Key(path)); }

bool FakeFileSystem::HasFile(const std::string& path) const { return files_.count(Key(path)) != 0; }

bool FakeFileSystem::HasDirectory(const std::string& path) const { return directories_.count(Key(path)) != 0; }

std::vector<uint8_t> FakeFileSystem::Contents(const std::string& path) const {
    const auto it = files_.find(Key(path));
    return it == files_.end() ? std::vector<uint8_t>{} : it->second;
}

std::vector<std::string> FakeFileSystem::FilePaths() const {
    std::vector<std::string> paths;
    for (const auto& [key, bytes] : files_) paths.push_back(key);
    return paths;
}

bool FakeFileSystem::OpenOwnExecutable(FileHandle& file, uint64_t& size) {
    if (Fails(FileOp::ReadOwn, "")) return false;
    file = nextHandle_++;
    handles_[file] = {"", false, 0, true};
    size = ownExecutable.size();
    return true;
}

bool FakeFileSystem::OpenRead(const char* path, FileHandle& file, uint64_t& size) {
    const std::string key = Key(path);
    if (Fails(FileOp::OpenRead, key)) return false;
    const auto it = files_.find(key);
    if (it == files_.end()) return false;
    file = nextHandle_++;
    handles_[file] = {key, false, 0};
    size = it->second.size();
    return true;
}

long long FakeFileSystem::Read(FileHandle file, std::span<uint8_t> buffer) {
    const auto handle = handles_.find(file);
    if (handle == handles_.end() || handle->second.writing) return -1;
    if (Fails(FileOp::Read, handle->second.key)) return -1;
    const std::vector<uint8_t>& bytes = files_[handle->second.key];
    const size_t count = std::min(buffer.size(), bytes.size() - std::min(bytes.size(), handle->second.position));
    if (count) std::memcpy(buffer.data(), bytes.data() + handle->second.position, count);
    handle->second.position += count;
    return static_cast<long long>(count);
}

long long FakeFileSystem::ReadAt(FileHandle file, uint64_t offset, std::span<uint8_t> buffer) {
    const auto handle = handles_.find(file);
    if (handle == handles_.end() || handle->second.writing) return -1;
    if (!handle->second.own) {
        handle->second.position = offset;
        return Read(file, buffer);
    }
    ++ownReads;
    if (failOwnReadAt && offset <= *failOwnReadAt && *failOwnReadAt < offset + buffer.size()) return -1;
    if (offset >= ownExecutable.size()) return 0;
    const size_t count = std::min<uint64_t>(buffer.size(), ownExecutable.size() - offset);
    std::memcpy(buffer.data(), ownExecutable.data() + offset, count);
    return static_cast<long long>(count);
}

bool FakeFileSystem::CreateTruncated(const char* path, FileHandle& file) {
    const std::string key = Key(path);
    log.push_back("create " + key);
    if (Fails(FileOp::Create, key) || !directories_.count(Parent(key)) || directories_.count(key)) return false;
    if (IsOwnExecutable(path)) return false;
    files_[key].clear();
    file = nextHandle_++;
    handles_[file] = {key, true, 0};
    return true;
}

bool FakeFileSystem::Write(FileHandle file, std::span<const uint8_t> bytes) {
    const auto handle = handles_.find(file);
    if (handle == handles_.end() || !handle->second.writing) return false;
    std::vector<uint8_t>& content = files_[handle->second.key];
    if (interruption && interruption->at == interruption->operations + 1) {
        content.insert(content.end(), bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(bytes.size() / 2));
    }
    if (Fails(FileOp::Write, handle->second.key)) return false;
    content.insert(content.end(), bytes.begin(), bytes.end());
    return true;
}

bool FakeFileSystem::Flush(FileHandle file) {
    const auto handle = handles_.find(file);
    return handle != handles_.end() && !Fails(FileOp::Flush, handle->second.key);
}

bool FakeFileSystem::Close(FileHandle file) {
    const auto handle = handles_.find(file);
    if (handle == handles_.end()) return false;
    const std::string key = handle->second.key;
    handles_.erase(handle);
    return !Fails(FileOp::Close, key);
}

bool FakeFileSystem::Delete(const char* path) {
    const std::string key = Key(path);
    log.push_back("delete " + key);
    if (Fails(FileOp::Delete, key)) return false;
    return files_.erase(key) != 0;
}

bool FakeFileSystem::Rename(const char* from, const char* to) {
    const std::string source = Key(from);
    const std::string target = Key(to);
    log.push_back("rename " + source + " " + target);
    if (Fails(FileOp::Rename, target)) return false;
    const auto it = files_.find(source);
    if (it == files_.end() || !directories_.count(Parent(target)) || directories_.count(target) ||
        IsOwnExecutable(to)) {
        return false;
    }
    std::vector<uint8_t> bytes = std::move(it->second);
    files_.erase(it);
    files_[target] = std::move(bytes);
    return true;
}

bool FakeFileSystem::MakeDirectory(const char* path) {
    const std::string key = Key(path);
    log.push_back("mkdir " + key);
    if (Fails(FileOp::MakeDirectory, key)) return false;
    if (key.empty() || directories_.count(key) || files_.count(key) || !directories_.count(Parent(key))) return false;
    directories_.insert(key);
    return true;
}

bool FakeFileSystem::CanOpenForReading(const char* path) {
    const std::string key = Key(path);
    if (Fails(FileOp::CanOpen, key)) return false;
    return files_.count(key) != 0;
}

bool FakeFileSystem::SystemDirectory(char (&path)[kMaxPath]) {
    if (Fails(FileOp::SystemDir, "")) return false;
    std::snprintf(path, kMaxPath, "%s", systemDirectory.c_str());
    return true;
}

bool FakeFileSystem::WindowsDirectory(char (&path)[kMaxPath]) {
    if (Fails(FileOp::WindowsDir, "")) return false;
    std::snprintf(path, kMaxPath, "%s", windowsDirectory.c_str());
    return true;
}

bool FakeFileSystem::IsOwnExecutable(const char* path) {
    for (const std::string& own : ownExecutablePaths) {
        if (Key(own) == Key(path)) return true;
    }
    return false;
}
