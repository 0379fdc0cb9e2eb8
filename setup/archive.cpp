#include "archive.h"

#include <cstring>

#include "resources/resource_ids.h"

namespace {

uint32_t ReadU32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
           static_cast<uint32_t>(p[3]) << 24;
}

void WriteU32(uint8_t* p, uint32_t value) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(value >> (8 * i));
}

}  // namespace

namespace {

// Sixteen bytes compared at once; the compiler maps this to SSE2 where the target has it.
using Bytes16 = uint8_t __attribute__((vector_size(16)));

// Vectors stay out of function signatures: without SSE their passing convention differs.
void Load16(Bytes16& v, const uint8_t* p) { std::memcpy(&v, p, sizeof v); }

bool AnySet(const Bytes16& v) {
    uint64_t halves[2];
    std::memcpy(halves, &v, sizeof halves);
    return (halves[0] | halves[1]) != 0;
}

}  // namespace

size_t FindFirst(std::span<const uint8_t> haystack, std::string_view needle) {
    constexpr size_t npos = static_cast<size_t>(-1);
    const size_t m = needle.size();
    if (m == 0 || m > haystack.size()) return npos;
    const auto* pattern = reinterpret_cast<const uint8_t*>(needle.data());
    const uint8_t* const begin = haystack.data();
    const size_t positions = haystack.size() - m + 1;  // window starts to try

    // Filter sixteen window starts at a time on the needle's first and last byte together; only
    // the starts that pass both are compared in full, in order, so the first occurrence wins.
    const Bytes16 first = Bytes16{} + pattern[0];
    const Bytes16 lastByte = Bytes16{} + pattern[m - 1];
    size_t start = 0;
    for (; start + 16 <= positions; start += 16) {
        Bytes16 heads;
        Bytes16 tails;
        Load16(heads, begin + start);
        Load16(tails, begin + start + m - 1);
        const Bytes16 candidates = static_cast<Bytes16>(heads == first) & static_cast<Bytes16>(tails == lastByte);
        if (!AnySet(candidates)) continue;
        for (size_t lane = 0; lane < 16; ++lane) {
            if (candidates[lane] && std::memcmp(begin + start + lane, pattern, m) == 0) return start + lane;
        }
    }
    for (; start < positions; ++start) {
        if (begin[start] == pattern[0] && std::memcmp(begin + start, pattern, m) == 0) return start;
    }
    return npos;
}

bool IsBareFileName(std::string_view name) {
    if (name.empty() || name.size() >= kEntryNameSize || name == "." || name == "..") return false;
    for (char c : name) {
        if (c == '\\' || c == '/' || c == ':' || c == '\0') return false;
    }
    return true;
}

ArchiveStatus LocateSetupArchive(std::span<const uint8_t> file, std::string_view marker, SetupArchive& archive) {
    if (marker.empty() || marker.size() >= kMarkerFieldSize) return ArchiveStatus::Damaged;
    const size_t start = FindFirst(file, marker);
    if (start == static_cast<size_t>(-1)) return ArchiveStatus::NoArchive;

    const uint64_t left = file.size() - start;
    if (left < kArchiveHeaderSize) return ArchiveStatus::Damaged;
    const uint32_t count = ReadU32(file.data() + start + kMarkerFieldSize);
    const uint64_t firstBody = start + kArchiveHeaderSize + uint64_t{kEntrySize} * count;
    if (firstBody > file.size()) return ArchiveStatus::Damaged;

    uint64_t bodies = 0;
    for (uint32_t i = 0; i < count; ++i) {
        const uint8_t* entry = file.data() + start + kArchiveHeaderSize + size_t{kEntrySize} * i;
        const auto* name = reinterpret_cast<const char*>(entry + kEntryNameOffset);
        const size_t nameLength = strnlen(name, kEntryNameSize);
        if (nameLength == kEntryNameSize || !IsBareFileName({name, nameLength})) return ArchiveStatus::Damaged;
        bodies += ReadU32(entry + kEntrySizeOffset);
    }
    if (bodies > file.size() - firstBody) return ArchiveStatus::Damaged;

    archive.start = start;
    archive.count = count;
    archive.firstBody = static_cast<size_t>(firstBody);
    return ArchiveStatus::Found;
}

bool NextArchiveEntry(std::span<const uint8_t> file, const SetupArchive& archive, ArchiveEntry& entry) {
    if (entry.next >= archive.count) return false;
    const uint8_t* record = file.data() + archive.start + kArchiveHeaderSize + size_t{kEntrySize} * entry.next;
    entry.bodyOffset = entry.next == 0 ? archive.firstBody : entry.bodyOffset + entry.size;
    entry.destination = record[0];
    entry.size = ReadU32(record + kEntrySizeOffset);
    entry.name = reinterpret_cast<const char*>(record + kEntryNameOffset);
    ++entry.next;
    return true;
}

bool WriteArchiveHeader(std::span<uint8_t, kArchiveHeaderSize> header, std::string_view marker, uint32_t count) {
    if (marker.empty() || marker.size() >= kMarkerFieldSize) return false;
    std::memset(header.data(), 0, header.size());
    std::memcpy(header.data(), marker.data(), marker.size());
    WriteU32(header.data() + kMarkerFieldSize, count);
    return true;
}

bool WriteArchiveEntry(std::span<uint8_t, kEntrySize> entry, uint8_t destination, uint32_t size, std::string_view name) {
    if (!IsBareFileName(name)) return false;
    std::memset(entry.data(), 0, entry.size());
    entry[0] = destination;
    WriteU32(entry.data() + kEntrySizeOffset, size);
    std::memcpy(entry.data() + kEntryNameOffset, name.data(), name.size());
    return true;
}

ArchiveStatus FindSetupArchive(Platform& platform, OwnSetupFile& own) {
    char marker[kMaxPath] = {};
    const int length = platform.strings.Load(IDS_ARCHIVE_MARKER, marker, sizeof marker);
    if (length <= 0) return ArchiveStatus::NoArchive;
    return LocateSetupArchive(own.bytes(), std::string_view(marker, static_cast<size_t>(length)), own.archive);
}
