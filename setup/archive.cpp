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

size_t FindFirst(std::span<const uint8_t> haystack, std::string_view needle) {
    constexpr size_t npos = static_cast<size_t>(-1);
    if (needle.empty() || needle.size() > haystack.size()) return npos;
    // memchr skips to each candidate first byte at memory speed; the rest is compared only there.
    const auto first = static_cast<unsigned char>(needle[0]);
    const uint8_t* const begin = haystack.data();
    const uint8_t* const last = begin + (haystack.size() - needle.size());
    for (const uint8_t* p = begin; p <= last;) {
        const void* hit = std::memchr(p, first, static_cast<size_t>(last - p) + 1);
        if (!hit) break;
        p = static_cast<const uint8_t*>(hit);
        if (std::memcmp(p + 1, needle.data() + 1, needle.size() - 1) == 0) return static_cast<size_t>(p - begin);
        ++p;
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

ArchiveEntry ReadArchiveEntry(std::span<const uint8_t> file, const SetupArchive& archive, uint32_t index) {
    ArchiveEntry result;
    size_t body = archive.firstBody;
    for (uint32_t i = 0; i <= index && i < archive.count; ++i) {
        const uint8_t* entry = file.data() + archive.start + kArchiveHeaderSize + size_t{kEntrySize} * i;
        result.destination = entry[0];
        result.size = ReadU32(entry + kEntrySizeOffset);
        result.name = reinterpret_cast<const char*>(entry + kEntryNameOffset);
        result.bodyOffset = body;
        body += result.size;
    }
    return result;
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
    if (length <= 0 || !platform.files.ReadOwnExecutable(own.bytes)) return ArchiveStatus::NoArchive;
    return LocateSetupArchive(own.bytes.bytes(), std::string_view(marker, static_cast<size_t>(length)), own.archive);
}
