#include "archive/setup_writer.h"

#include <cstring>

#include "archive/archive.h"
#include "archive/archive_digest.h"

namespace {

constexpr size_t kMaxPayloadFiles = kMaxArchiveEntries;
constexpr size_t kCopyChunk = size_t{1} << 20;

struct OpenInput {
    FileHandle file = -1;
    uint64_t size = 0;
    bool open = false;
};

// Inputs open for the whole write; closed on every way out.
class InputSet {
public:
    explicit InputSet(FileSystem& files) : files_(files) {}
    InputSet(const InputSet&) = delete;
    InputSet& operator=(const InputSet&) = delete;
    ~InputSet() {
        for (OpenInput& input : inputs_) {
            if (input.open) files_.Close(input.file);
        }
    }
    bool Open(size_t index, const char* path) {
        OpenInput& input = inputs_[index];
        input.open = files_.OpenRead(path, input.file, input.size);
        return input.open;
    }
    OpenInput& operator[](size_t index) { return inputs_[index]; }

private:
    FileSystem& files_;
    OpenInput inputs_[kMaxPayloadFiles + 1];
};

enum class CopyResult { Done, InputFailed, OutputFailed, HashFailed };

// Copies exactly `size` bytes; a file that has become shorter or longer since it was measured fails.
// With `hashing`, every piece passes through it (Begin and Finish are the caller's), in the two
// halves of `chunk` by turns; without, the platform may copy the bytes itself.
CopyResult CopyExactly(FileSystem& files, FileHandle from, uint64_t size, FileHandle to, ByteBuffer& chunk,
                       Hashing* hashing) {
    uint64_t left = size;
    for (long long copied; hashing == nullptr && left > 0 &&
                           (copied = files.CopyRange(from, kCurrentPosition, to, left)) > 0;) {
        left -= static_cast<uint64_t>(copied);
    }
    const size_t half = chunk.size() / 2;
    for (size_t turn = 0; left > 0; turn ^= 1) {
        const std::span<uint8_t> piece = chunk.bytes().subspan(turn * half, half);
        const long long got = files.Read(from, piece.first(left < half ? static_cast<size_t>(left) : half));
        if (got <= 0) return CopyResult::InputFailed;
        const std::span<const uint8_t> read = piece.first(static_cast<size_t>(got));
        if (hashing != nullptr && !hashing->Add(read)) return CopyResult::HashFailed;
        if (!files.Write(to, read)) return CopyResult::OutputFailed;
        left -= static_cast<uint64_t>(got);
    }
    uint8_t probe = 0;
    return files.Read(from, {&probe, 1}) == 0 ? CopyResult::Done : CopyResult::InputFailed;
}

// Copies one body, hashing it into its slot of `record` when there is one.
CopyResult CopyBody(FileSystem& files, const OpenInput& input, FileHandle out, ByteBuffer& chunk, Hashing* hashing,
                    std::span<uint8_t> record, uint32_t index) {
    if (hashing != nullptr && !hashing->Begin()) return CopyResult::HashFailed;
    const CopyResult copied = CopyExactly(files, input.file, input.size, out, chunk, hashing);
    if (copied != CopyResult::Done || hashing == nullptr) return copied;
    Sha256Digest digest;
    if (!hashing->Finish(digest)) return CopyResult::HashFailed;
    std::memcpy(DigestRecordSlot(record, index), digest.data(), digest.size());
    return CopyResult::Done;
}

SetupWriteResult CopyFailure(CopyResult result, const char* inputPath, const char* outputPath) {
    switch (result) {
        case CopyResult::Done: break;
        case CopyResult::InputFailed: return {SetupWriteStatus::InputUnreadable, inputPath};
        case CopyResult::OutputFailed: return {SetupWriteStatus::OutputFailed, outputPath};
        case CopyResult::HashFailed: return {SetupWriteStatus::HashFailed, inputPath};
    }
    return {};
}

SetupWriteResult WriteBody(FileSystem& files, std::string_view marker, const char* imagePath, InputSet& inputs,
                           std::span<const PayloadInput> payload, const char* outputPath, FileHandle out,
                           Hashing* hashing) {
    const SetupWriteResult outputFailed{SetupWriteStatus::OutputFailed, outputPath};
    ByteBuffer chunk;
    if (!chunk.Allocate(kCopyChunk)) return outputFailed;
    if (const CopyResult copied = CopyExactly(files, inputs[0].file, inputs[0].size, out, chunk, nullptr);
        copied != CopyResult::Done) {
        return CopyFailure(copied, imagePath, outputPath);
    }

    uint8_t header[kArchiveHeaderSize];
    WriteArchiveHeader(header, marker, static_cast<uint32_t>(payload.size()));
    if (!files.Write(out, header)) return outputFailed;
    for (size_t i = 0; i < payload.size(); ++i) {
        uint8_t entry[kEntrySize];
        WriteArchiveEntry(entry, payload[i].destination, static_cast<uint32_t>(inputs[i + 1].size), payload[i].name);
        if (!files.Write(out, entry)) return outputFailed;
    }
    uint8_t recordBytes[kDigestHeaderSize + kSha256Size * kMaxArchiveEntries];
    const std::span<uint8_t> record(recordBytes, DigestRecordSize(static_cast<uint32_t>(payload.size())));
    for (size_t i = 0; i < payload.size(); ++i) {
        if (const CopyResult copied =
                CopyBody(files, inputs[i + 1], out, chunk, hashing, record, static_cast<uint32_t>(i));
            copied != CopyResult::Done) {
            return CopyFailure(copied, payload[i].path, outputPath);
        }
    }
    if (hashing == nullptr) return {};
    WriteDigestRecordHeader(record, static_cast<uint32_t>(payload.size()));
    return files.Write(out, record) ? SetupWriteResult{} : outputFailed;
}

SetupWriteResult CheckNames(std::span<const PayloadInput> payload) {
    for (size_t i = 0; i < payload.size(); ++i) {
        if (const ArchiveFault fault = CheckEntryName(payload[i].name); fault != ArchiveFault::None) {
            return {SetupWriteStatus::BadName, payload[i].path, fault};
        }
        for (size_t j = 0; j < i; ++j) {
            if ((payload[j].destination != 0) == (payload[i].destination != 0) &&
                SameEntryName(payload[j].name, payload[i].name)) {
                return {SetupWriteStatus::BadName, payload[i].path, ArchiveFault::SameName, payload[j].path};
            }
        }
    }
    return {};
}

// The output: a path the writer creates (and deletes again when the write fails), or a file the
// caller created and keeps, named by `path` only in the result.
struct Output {
    const char* path;
    FileHandle file = -1;
    bool given = false;
};

SetupWriteResult WriteSetup(FileSystem& files, std::string_view marker, const char* imagePath,
                            std::span<const PayloadInput> payload, Output output, Hashing* hashing) {
    const char* outputPath = output.path;
    uint8_t probe[kArchiveHeaderSize];
    if (!WriteArchiveHeader(probe, marker, 0)) return {SetupWriteStatus::BadMarker, nullptr};
    if (payload.size() > kMaxPayloadFiles) {
        return {SetupWriteStatus::TooManyFiles, nullptr, ArchiveFault::TooManyEntries, nullptr, payload.size()};
    }
    if (const SetupWriteResult names = CheckNames(payload); names.status != SetupWriteStatus::Written) return names;

    InputSet inputs(files);
    if (!inputs.Open(0, imagePath)) return {SetupWriteStatus::InputUnreadable, imagePath};
    uint64_t total = inputs[0].size + kArchiveHeaderSize + kEntrySize * payload.size();
    if (total > kMaxSetupSize) return {SetupWriteStatus::InputTooLarge, imagePath, ArchiveFault::None, nullptr, total};
    for (size_t i = 0; i < payload.size(); ++i) {
        if (!inputs.Open(i + 1, payload[i].path)) return {SetupWriteStatus::InputUnreadable, payload[i].path};
        total += inputs[i + 1].size;
        if (total > kMaxSetupSize) {
            return {SetupWriteStatus::InputTooLarge, payload[i].path, ArchiveFault::None, nullptr, total};
        }
    }

    if (output.given) return WriteBody(files, marker, imagePath, inputs, payload, outputPath, output.file, hashing);
    FileHandle out = -1;
    if (!files.CreateTruncated(outputPath, out)) return {SetupWriteStatus::OutputFailed, outputPath};
    SetupWriteResult result = WriteBody(files, marker, imagePath, inputs, payload, outputPath, out, hashing);
    if (!files.Close(out) && result.status == SetupWriteStatus::Written) {
        result = {SetupWriteStatus::OutputFailed, outputPath};
    }
    if (result.status != SetupWriteStatus::Written) files.Delete(outputPath);
    return result;
}

}  // namespace

SetupWriteResult WriteSetupExecutable(FileSystem& files, std::string_view marker, const char* imagePath,
                                      std::span<const PayloadInput> payload, const char* outputPath) {
    return WriteSetup(files, marker, imagePath, payload, {outputPath}, nullptr);
}

SetupWriteResult WriteSetupExecutableWithDigests(FileSystem& files, std::string_view marker, const char* imagePath,
                                                 std::span<const PayloadInput> payload, const char* outputPath,
                                                 Hashing& hashing) {
    return WriteSetup(files, marker, imagePath, payload, {outputPath}, &hashing);
}

SetupWriteResult WriteSetupExecutableInto(FileSystem& files, std::string_view marker, const char* imagePath,
                                          std::span<const PayloadInput> payload, FileHandle out, const char* outputName,
                                          Hashing* hashing) {
    return WriteSetup(files, marker, imagePath, payload, {outputName, out, true}, hashing);
}
