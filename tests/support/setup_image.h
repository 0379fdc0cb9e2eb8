#pragma once
// The smallest file the archive reader takes for a program image: "MZ", the PE header at 0x40 with
// no optional header, and one section whose raw data runs from 0x80 to the end of the image.
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

inline void PutU32(std::vector<uint8_t>& bytes, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

// `size` bytes (at least the 1 KiB the reader takes the headers from), then `tail`: bytes after
// the image, where an archive may start.
inline std::vector<uint8_t> MinimalSetupImage(size_t size = 1024, std::string_view tail = {}) {
    std::vector<uint8_t> image(size, 0);
    image[0] = 'M';
    image[1] = 'Z';
    PutU32(image, 0x3C, 0x40);
    PutU32(image, 0x40, 0x4550);                                   // "PE\0\0"
    image[0x46] = 1;                                               // one section
    PutU32(image, 0x58 + 16, static_cast<uint32_t>(size - 0x80));  // its raw size
    PutU32(image, 0x58 + 20, 0x80);                                // and where its raw data starts
    image.insert(image.end(), tail.begin(), tail.end());
    return image;
}
