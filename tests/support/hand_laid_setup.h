#pragma once
// A setup file laid out by hand: image bytes, then an archive built byte by byte from the layout
// (marker field, count, table, bodies), independent of the archive code under test. The reader's
// tests parse it, the writer's tests compare their output with it.
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "archive/archive.h"
#include "archive_marker.h"

struct HandLaidEntry {
    std::string name;
    std::string body;
    uint8_t destination = 0;
};

inline void AppendText(std::vector<uint8_t>& out, std::string_view text) {
    out.insert(out.end(), text.begin(), text.end());
}

inline void AppendU32(std::vector<uint8_t>& out, uint32_t value) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

inline std::vector<uint8_t> MakeSetup(const std::string& image, const std::vector<HandLaidEntry>& entries) {
    constexpr std::string_view marker = kArchiveMarkerText;
    std::vector<uint8_t> file(image.begin(), image.end());
    AppendText(file, marker);
    file.resize(file.size() + (kMarkerFieldSize - marker.size()), 0);
    AppendU32(file, static_cast<uint32_t>(entries.size()));
    for (const HandLaidEntry& entry : entries) {
        file.push_back(entry.destination);
        file.resize(file.size() + 3, 0);
        AppendU32(file, static_cast<uint32_t>(entry.body.size()));
        const size_t nameAt = file.size();
        file.resize(file.size() + kEntryNameSize, 0);
        std::memcpy(file.data() + nameAt, entry.name.data(), entry.name.size());
    }
    for (const HandLaidEntry& entry : entries) AppendText(file, entry.body);
    return file;
}
