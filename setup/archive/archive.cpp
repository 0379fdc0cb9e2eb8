#include "archive/archive.h"

#include <cstring>

#include "archive/little_endian.h"
#include "resources/resource_ids.h"

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

namespace {

// Windows-1252 letters to upper case as Windows compares file names: ASCII, the Latin-1 range and
// the few letters the code page adds at 0x80-0x9F.
uint8_t FoldCase(uint8_t c) {
    if ((c >= 'a' && c <= 'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7)) return static_cast<uint8_t>(c - 0x20);
    switch (c) {
        case 0x9A: return 0x8A;  // s with caron
        case 0x9C: return 0x8C;  // oe
        case 0x9E: return 0x8E;  // z with caron
        case 0xFF: return 0x9F;  // y with diaeresis
        default: return c;
    }
}

bool IsDeviceDigit(uint8_t c) {
    return (c >= '1' && c <= '9') || c == 0xB9 || c == 0xB2 || c == 0xB3;  // Windows counts superscripts too
}

// The part before the first dot, without the blanks Windows drops there, names a device.
bool IsDeviceName(std::string_view name) {
    // Built by hand: substr could throw, which would bring the exception machinery into the image.
    const size_t dot = name.find('.');
    std::string_view stem(name.data(), dot == std::string_view::npos ? name.size() : dot);
    while (!stem.empty() && stem.back() == ' ') stem.remove_suffix(1);
    char upper[4] = {};
    if (stem.size() < 3 || stem.size() > 4) return false;
    for (size_t i = 0; i < 3; ++i) upper[i] = static_cast<char>(FoldCase(static_cast<uint8_t>(stem[i])));
    const std::string_view head(upper, 3);
    if (stem.size() == 3) return head == "CON" || head == "PRN" || head == "AUX" || head == "NUL";
    return (head == "COM" || head == "LPT") && IsDeviceDigit(static_cast<uint8_t>(stem[3]));
}

}  // namespace

ArchiveFault CheckEntryName(std::string_view name) {
    if (name.empty()) return ArchiveFault::EmptyName;
    if (name.size() > kMaxEntryNameLength) return ArchiveFault::NameTooLong;
    for (const char c : name) {
        const auto byte = static_cast<uint8_t>(c);
        if (c == '\\' || c == '/' || c == ':') return ArchiveFault::PathCharacter;
        if (c == '<' || c == '>' || c == '"' || c == '|' || c == '?' || c == '*') return ArchiveFault::ReservedCharacter;
        if (byte < 0x20) return ArchiveFault::ControlCharacter;
    }
    if (name.back() == '.' || name.back() == ' ') return ArchiveFault::TrailingDotOrBlank;
    if (IsDeviceName(name)) return ArchiveFault::DeviceName;
    return ArchiveFault::None;
}

bool SameEntryName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (FoldCase(static_cast<uint8_t>(a[i])) != FoldCase(static_cast<uint8_t>(b[i]))) return false;
    }
    return true;
}

const char* ArchiveFaultText(ArchiveFault fault) {
    switch (fault) {
        case ArchiveFault::None: return "no fault";
        case ArchiveFault::NoImage:
            return "the file holds no program image (no PE header at its start)";
        case ArchiveFault::InsideImage:
            return "the archive starts inside the program image, before its last section ends";
        case ArchiveFault::NoEntries:
            return "it holds no entries; a setup carries 1 to 16 files";
        case ArchiveFault::TooManyEntries: return "a setup carries at most 16 files";
        case ArchiveFault::TablePastEnd: return "the entry table runs past the end of the file";
        case ArchiveFault::BodiesPastEnd: return "the file bodies run past the end of the file";
        case ArchiveFault::Unterminated: return "the name is not zero-terminated within its 260-byte field";
        case ArchiveFault::EmptyName: return "the name is empty";
        case ArchiveFault::NameTooLong:
            return "the name is longer than 255 characters, so no folder could hold it within 259 characters";
        case ArchiveFault::PathCharacter: return "the name holds a path character (\\ / or :)";
        case ArchiveFault::ReservedCharacter: return "the name holds a character Windows reserves (< > \" | ? or *)";
        case ArchiveFault::ControlCharacter: return "the name holds a control character";
        case ArchiveFault::TrailingDotOrBlank: return "the name ends in a dot or a blank";
        case ArchiveFault::DeviceName:
            return "the name is a Windows device name (CON, PRN, AUX, NUL, COM1-COM9, LPT1-LPT9, with or "
                   "without an extension)";
        case ArchiveFault::SameName:
            return "the name differs only in letter case from an earlier entry of the same destination";
    }
    return "unknown fault";
}

namespace {

const uint8_t* EntryRecord(const SetupArchive& archive, uint32_t index) {
    return archive.table + kArchiveHeaderSize + size_t{kEntrySize} * index;
}

// Checks each name on its own and against the earlier ones of its destination (at most 16, so
// the pairs stay few).
ArchiveDamage CheckEntryNames(const SetupArchive& archive, uint32_t count) {
    for (uint32_t i = 0; i < count; ++i) {
        const char* name = ArchiveEntryNameField(archive, i);
        const size_t length = strnlen(name, kEntryNameSize);
        if (length == kEntryNameSize) return {ArchiveFault::Unterminated, i};
        if (const ArchiveFault fault = CheckEntryName({name, length}); fault != ArchiveFault::None) return {fault, i};
        const uint8_t destination = EntryRecord(archive, i)[0];
        for (uint32_t j = 0; j < i; ++j) {
            const bool sameDestination = (EntryRecord(archive, j)[0] != 0) == (destination != 0);
            if (sameDestination && SameEntryName(ArchiveEntryNameField(archive, j), name))
                return {ArchiveFault::SameName, i, j};
        }
    }
    return {};
}

ArchiveStatus Damaged(ArchiveDamage* damage, ArchiveDamage found, uint32_t count) {
    if (damage != nullptr) {
        *damage = found;
        damage->count = count;
    }
    return ArchiveStatus::Damaged;
}

uint32_t EntrySizeAt(const SetupArchive& archive, uint32_t index) {
    return ReadU32(EntryRecord(archive, index) + kEntrySizeOffset);
}

}  // namespace

uint64_t ProgramImageEnd(SetupBytes& file) {
    constexpr size_t kSectionHeaderSize = 40;
    uint8_t head[kImageHeadersSize];
    if (!ReadExactly(file, 0, head)) return 0;
    const uint32_t pe = ReadU32(head + 0x3C);
    if (head[0] != 'M' || head[1] != 'Z' || pe > sizeof head - 24 || ReadU32(head + pe) != 0x4550) return 0;
    const uint16_t sections = ReadU16(head + pe + 6);
    // The last entry of the section table, which follows the optional header.
    const size_t last = pe + 24 + ReadU16(head + pe + 20) + kSectionHeaderSize * (sections - 1);
    if (sections == 0 || last + kSectionHeaderSize > sizeof head) return 0;
    return uint64_t{ReadU32(head + last + 20)} + ReadU32(head + last + 16);  // PointerToRawData + SizeOfRawData
}

// Windows overlap by the marker's length less one, so a marker across two windows is found too.
bool FindArchiveMarker(SetupBytes& file, std::string_view marker, uint64_t& at) {
    for (uint64_t offset = 0;;) {
        const std::span<const uint8_t> window = file.Read(offset, file.Size() - offset);
        if (window.size() < marker.size()) return false;
        if (const size_t found = FindFirst(window, marker); found != static_cast<size_t>(-1)) {
            at = offset + found;
            return true;
        }
        offset += window.size() - (marker.size() - 1);
    }
}

ArchiveStatus LocateSetupArchive(SetupBytes& file, std::string_view marker, SetupArchive& archive,
                                 ArchiveDamage* damage) {
    if (marker.empty() || marker.size() >= kMarkerFieldSize) return ArchiveStatus::Damaged;
    uint64_t start = 0;
    if (!FindArchiveMarker(file, marker, start)) {
        return file.Failed() ? ArchiveStatus::Unreadable : ArchiveStatus::NoArchive;
    }

    const uint64_t imageEnd = ProgramImageEnd(file);
    if (file.Failed()) return ArchiveStatus::Unreadable;
    if (imageEnd == 0) return Damaged(damage, {ArchiveFault::NoImage}, 0);
    if (start < imageEnd) return Damaged(damage, {ArchiveFault::InsideImage}, 0);

    const uint64_t left = file.Size() - start;
    if (left < kArchiveHeaderSize) return Damaged(damage, {ArchiveFault::TablePastEnd}, 0);
    const size_t tableBytes = left < kMaxArchiveTableSize ? static_cast<size_t>(left) : kMaxArchiveTableSize;
    if (!ReadExactly(file, start, {archive.table, tableBytes})) return ArchiveStatus::Unreadable;
    const uint32_t count = ReadU32(archive.table + kMarkerFieldSize);
    if (count == 0) return Damaged(damage, {ArchiveFault::NoEntries}, count);
    if (count > kMaxArchiveEntries) return Damaged(damage, {ArchiveFault::TooManyEntries}, count);
    const uint64_t firstBody = kArchiveHeaderSize + uint64_t{kEntrySize} * count;
    if (firstBody > left) return Damaged(damage, {ArchiveFault::TablePastEnd}, count);

    if (const ArchiveDamage names = CheckEntryNames(archive, count); names.fault != ArchiveFault::None) {
        return Damaged(damage, names, count);
    }
    uint64_t bodies = 0;
    for (uint32_t i = 0; i < count; ++i) bodies += EntrySizeAt(archive, i);
    if (bodies > left - firstBody) return Damaged(damage, {ArchiveFault::BodiesPastEnd}, count);

    archive.start = start;
    archive.count = count;
    archive.firstBody = start + firstBody;
    return ArchiveStatus::Found;
}

const char* ArchiveEntryNameField(const SetupArchive& archive, uint32_t index) {
    return reinterpret_cast<const char*>(EntryRecord(archive, index) + kEntryNameOffset);
}

bool NextArchiveEntry(const SetupArchive& archive, ArchiveEntry& entry) {
    if (entry.next >= archive.count) return false;
    const uint8_t* record = EntryRecord(archive, entry.next);
    entry.bodyOffset = entry.next == 0 ? archive.firstBody : entry.bodyOffset + entry.size;
    entry.destination = record[0];
    entry.size = ReadU32(record + kEntrySizeOffset);
    entry.name = reinterpret_cast<const char*>(record + kEntryNameOffset);
    ++entry.next;
    return true;
}

uint64_t ArchiveBodiesEnd(const SetupArchive& archive) {
    uint64_t end = archive.firstBody;
    for (uint32_t i = 0; i < archive.count; ++i) end += EntrySizeAt(archive, i);
    return end;
}

bool WriteArchiveHeader(std::span<uint8_t, kArchiveHeaderSize> header, std::string_view marker, uint32_t count) {
    if (marker.empty() || marker.size() >= kMarkerFieldSize) return false;
    std::memset(header.data(), 0, header.size());
    std::memcpy(header.data(), marker.data(), marker.size());
    WriteU32(header.data() + kMarkerFieldSize, count);
    return true;
}

bool WriteArchiveEntry(std::span<uint8_t, kEntrySize> entry, uint8_t destination, uint32_t size, std::string_view name) {
    if (CheckEntryName(name) != ArchiveFault::None) return false;
    std::memset(entry.data(), 0, entry.size());
    entry[0] = destination;
    WriteU32(entry.data() + kEntrySizeOffset, size);
    std::memcpy(entry.data() + kEntryNameOffset, name.data(), name.size());
    return true;
}

ArchiveStatus FindSetupArchive(Platform& platform, SetupBytes& own, SetupArchive& archive) {
    char marker[kMaxPath] = {};
    const int length = platform.strings.Load(IDS_ARCHIVE_MARKER, marker, sizeof marker);
    if (length <= 0) return ArchiveStatus::NoArchive;
    return LocateSetupArchive(own, std::string_view(marker, static_cast<size_t>(length)), archive);
}
