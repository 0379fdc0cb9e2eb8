// Installing a payload of three files through the native file adapter, against `cp` of the same
// files (the three payload files and the setup program) in one run, and the install's peak
// private memory. Registry, messages and strings are trivial stand-ins: only the files count here.
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <thread>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "archive/archive.h"
#include "archive_marker.h"
#include "operations/install.h"
#include "platform/files_posix.h"
#include "resources/resource_ids.h"

namespace {

class BenchStrings final : public Strings {
public:
    int Load(int id, char* buffer, int capacity) override {
        const char* text = id == IDS_ARCHIVE_MARKER ? kArchiveMarkerText : id == IDS_INSTALL_SUCCESS ? "done" : "";
        return std::snprintf(buffer, static_cast<size_t>(capacity), "%s", text);
    }
};

class NullRegistry final : public Registry {
public:
    bool Open(RegRoot, const char*, uint32_t, RegKey& key) override {
        key = 1;
        return true;
    }
    bool Create(RegRoot, const char*, uint32_t, RegKey& key) override {
        key = 1;
        return true;
    }
    bool Query(RegKey, const char*, std::span<uint8_t>, uint32_t&) override { return false; }
    bool SetBinary(RegKey, const char*, std::span<const uint8_t>) override { return true; }
    bool SetString(RegKey, const char*, const char*) override { return true; }
    bool SetDword(RegKey, const char*, uint32_t) override { return true; }
    bool DeleteValue(RegKey, const char*) override { return true; }
    RegDeleteResult DeleteKey(RegRoot, const char*) override { return RegDeleteResult::Deleted; }
    void Close(RegKey) override {}
};

class CountingMessages final : public Messages {
public:
    int Show(const char*, const char* caption, uint32_t) override {
        succeeded = caption && std::strcmp(caption, kInstallerCaption) == 0;
        return kAnswerOk;
    }
    bool succeeded = false;
};

class NullProcess final : public Process {
public:
    unsigned long CurrentThreadId() override { return 1; }
    void EndProgram(int) override {}
};

// The native adapter, with the setup's backslash paths turned into POSIX ones and the program's
// own file taken from the prepared setup file.
class UnixPathFiles final : public FileSystem {
public:
    explicit UnixPathFiles(std::string ownPath) : ownPath_(std::move(ownPath)) {}
    bool OpenOwnExecutable(FileHandle& file, uint64_t& size) override {
        return posix_.OpenRead(ownPath_.c_str(), file, size);
    }
    bool OpenRead(const char* path, FileHandle& file, uint64_t& size) override {
        return posix_.OpenRead(Unix(path).data(), file, size);
    }
    long long Read(FileHandle file, std::span<uint8_t> buffer) override { return posix_.Read(file, buffer); }
    long long ReadAt(FileHandle file, uint64_t offset, std::span<uint8_t> buffer) override {
        return posix_.ReadAt(file, offset, buffer);
    }
    bool CreateTruncated(const char* path, FileHandle& file) override {
        return posix_.CreateTruncated(Unix(path).data(), file);
    }
    bool Write(FileHandle file, std::span<const uint8_t> bytes) override { return posix_.Write(file, bytes); }
    long long CopyRange(FileHandle from, int64_t fromOffset, FileHandle to, uint64_t size) override {
        return posix_.CopyRange(from, fromOffset, to, size);
    }
    bool Close(FileHandle file) override { return posix_.Close(file); }
    bool Delete(const char* path) override { return posix_.Delete(Unix(path).data()); }
    bool Rename(const char* from, const char* to) override { return posix_.Rename(Unix(from).data(), Unix(to).data()); }
    bool MakeDirectory(const char* path) override { return posix_.MakeDirectory(Unix(path).data()); }
    bool CanOpenForReading(const char* path) override { return posix_.CanOpenForReading(Unix(path).data()); }
    bool SystemDirectory(char (&path)[kMaxPath]) override { return posix_.SystemDirectory(path); }
    bool WindowsDirectory(char (&path)[kMaxPath]) override { return posix_.WindowsDirectory(path); }
    bool IsOwnExecutable(const char* path) override {
        struct stat own = {};
        struct stat other = {};
        return ::stat(ownPath_.c_str(), &own) == 0 && ::stat(Unix(path).data(), &other) == 0 &&
               own.st_dev == other.st_dev && own.st_ino == other.st_ino;
    }

private:
    static std::array<char, kMaxPath> Unix(const char* path) {
        std::array<char, kMaxPath> out{};
        std::snprintf(out.data(), out.size(), "%s", path);
        for (char& c : out) c = c == '\\' ? '/' : c;
        return out;
    }
    PosixFileSystem posix_;
    std::string ownPath_;
};

constexpr const char* kPayloadNames[] = {"KOVA.exe", "KOVA.hlp", "KOVA.cnt"};

// Three payload files of 5/8, 1/4 and 1/8 of the total, and a setup file carrying them, on disk.
struct Workspace {
    std::string root;
    std::string source;
    std::string setup;
    std::string installed;
    std::string copied;
};

void WriteRandom(std::ofstream& out, size_t size, std::mt19937_64& random) {
    std::vector<uint64_t> chunk(1 << 17);
    for (size_t done = 0; done < size;) {
        for (uint64_t& word : chunk) word = random();
        const size_t count = std::min(size - done, chunk.size() * sizeof(uint64_t));
        out.write(reinterpret_cast<const char*>(chunk.data()), static_cast<std::streamsize>(count));
        done += count;
    }
}

const Workspace& Prepare(size_t totalMiB) {
    static std::vector<std::pair<size_t, Workspace>> prepared;
    for (const auto& [size, workspace] : prepared) {
        if (size == totalMiB) return workspace;
    }
    Workspace w;
    w.root = "/tmp/kova_install_bench_" + std::to_string(getpid()) + "_" + std::to_string(totalMiB);
    w.source = w.root + "/payload";
    w.setup = w.root + "/Setup.exe";
    w.installed = w.root + "/installed";
    w.copied = w.root + "/copied";
    std::system(("mkdir -p " + w.source + " " + w.installed + " " + w.copied).c_str());

    const size_t total = totalMiB << 20;
    const size_t sizes[] = {total * 5 / 8, total / 4, total - total * 5 / 8 - total / 4};
    std::mt19937_64 random(7);
    std::ofstream setup(w.setup, std::ios::binary);
    WriteRandom(setup, 64 << 10, random);  // the program image
    std::array<uint8_t, kArchiveHeaderSize> header{};
    WriteArchiveHeader(header, kArchiveMarkerText, 3);
    setup.write(reinterpret_cast<const char*>(header.data()), header.size());
    for (size_t i = 0; i < 3; ++i) {
        std::array<uint8_t, kEntrySize> entry{};
        WriteArchiveEntry(entry, 0, static_cast<uint32_t>(sizes[i]), kPayloadNames[i]);
        setup.write(reinterpret_cast<const char*>(entry.data()), entry.size());
    }
    for (size_t i = 0; i < 3; ++i) {
        const std::mt19937_64 start = random;
        std::ofstream payload(w.source + "/" + kPayloadNames[i], std::ios::binary);
        WriteRandom(payload, sizes[i], random);
        random = start;
        WriteRandom(setup, sizes[i], random);
    }
    setup.close();
    prepared.emplace_back(totalMiB, w);
    return prepared.back().second;
}

void Clear(const std::string& directory) {
    for (const char* name : kPayloadNames) std::remove((directory + "/" + name).c_str());
    std::remove((directory + "/Setup.exe").c_str());
}

bool Install(const Workspace& w) {
    NullRegistry registry;
    UnixPathFiles files(w.setup);
    CountingMessages messages;
    BenchStrings strings;
    NullProcess process;
    Platform platform{registry, files, messages, strings, process};
    return InstallFiles(platform, w.installed.c_str(), InstallMode::Install) && messages.succeeded;
}

double Seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

// Each iteration installs and copies with cp, taking turns at going first, each starting from clean
// targets with no dirty pages left behind; the time reported is the install's, `ratio` is install / cp.
void BM_InstallAgainstCp(benchmark::State& state) {
    const Workspace& w = Prepare(static_cast<size_t>(state.range(0)));
    const std::string cp = "cp " + w.source + "/KOVA.exe " + w.source + "/KOVA.hlp " + w.source + "/KOVA.cnt " +
                           w.setup + " " + w.copied + "/";
    double installSeconds = 0;
    double cpSeconds = 0;
    bool cpFirst = false;
    for (auto _ : state) {
        Clear(w.installed);
        Clear(w.copied);
        double install = 0;
        double copy = 0;
        for (int turn = 0; turn < 2; ++turn) {
            sync();
            const auto start = std::chrono::steady_clock::now();
            if ((turn == 0) == cpFirst) {
                if (std::system(cp.c_str()) != 0) state.SkipWithError("cp failed");
                copy = Seconds(start);
            } else {
                if (!Install(w)) state.SkipWithError("the install failed");
                install = Seconds(start);
            }
        }
        cpFirst = !cpFirst;
        state.SetIterationTime(install);
        installSeconds += install;
        cpSeconds += copy;
    }
    state.counters["cp_ms"] = benchmark::Counter(cpSeconds * 1000, benchmark::Counter::kAvgIterations);
    state.counters["ratio"] = installSeconds / cpSeconds;
}

long StatusKiB(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(field, 0) == 0) return std::atol(line.c_str() + std::strlen(field));
    }
    return -1;
}

// Runs the install in a child process and reports how far its private (anonymous) resident memory
// rose above what it had at the start, sampled every millisecond while the install runs. Pages of
// the mapped own file belong to the file, not to the process, and are not counted.
void BM_InstallPeakMemory(benchmark::State& state) {
    const Workspace& w = Prepare(static_cast<size_t>(state.range(0)));
    int pipeEnds[2];
    for (auto _ : state) {
        Clear(w.installed);
        if (pipe(pipeEnds) != 0) state.SkipWithError("pipe failed");
        const pid_t child = fork();
        if (child == 0) {
            // Free heap memory inherited from earlier runs would otherwise be reused unseen.
            malloc_trim(0);
            const long before = StatusKiB("RssAnon:");
            std::atomic<bool> done{false};
            std::atomic<long> highest{before};
            std::thread sampler([&] {
                while (!done) {
                    highest = std::max(highest.load(), StatusKiB("RssAnon:"));
                    std::this_thread::sleep_for(std::chrono::milliseconds(1));
                }
            });
            const bool ok = Install(w);
            done = true;
            sampler.join();
            highest = std::max(highest.load(), StatusKiB("RssAnon:"));
            const long peak = ok ? highest - before : -1;
            (void)!write(pipeEnds[1], &peak, sizeof peak);
            _exit(0);
        }
        long peakKiB = -1;
        (void)!read(pipeEnds[0], &peakKiB, sizeof peakKiB);
        waitpid(child, nullptr, 0);
        close(pipeEnds[0]);
        close(pipeEnds[1]);
        if (peakKiB < 0) state.SkipWithError("the install failed");
        state.counters["peak_private_MiB"] = static_cast<double>(peakKiB) / 1024.0;
        state.counters["payload_MiB"] = static_cast<double>(state.range(0));
    }
}

BENCHMARK(BM_InstallAgainstCp)->Arg(16)->Arg(256)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_InstallPeakMemory)->Arg(16)->Arg(256)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::system(("rm -rf /tmp/kova_install_bench_" + std::to_string(getpid()) + "_*").c_str());
    return 0;
}
