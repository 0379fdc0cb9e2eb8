#include "windows_1252.h"

#include <cstdint>
#include <cstdio>

namespace {

// The characters of 0x80 to 0x9F; 0 where the code page leaves the byte undefined. Every other
// byte stands for the Unicode character of the same number.
constexpr char32_t kHighControls[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

bool IsUndefined(uint8_t byte) { return byte >= 0x80 && byte <= 0x9F && kHighControls[byte - 0x80] == 0; }

char32_t CharacterOf(uint8_t byte) {
    if (byte < 0x80 || byte > 0x9F) return byte;
    const char32_t mapped = kHighControls[byte - 0x80];
    return mapped != 0 ? mapped : byte;  // as Windows shows an undefined byte
}

std::optional<uint8_t> ByteOf(char32_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<uint8_t>(c);
    for (uint8_t i = 0; i < 32; ++i) {
        if (kHighControls[i] != 0 && kHighControls[i] == c) return static_cast<uint8_t>(0x80 + i);
    }
    return std::nullopt;
}

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// Decodes one character at `at`, moving past it; nullopt on a malformed or overlong sequence.
std::optional<char32_t> NextCharacter(std::string_view text, size_t& at) {
    const auto lead = static_cast<uint8_t>(text[at++]);
    if (lead < 0x80) return lead;
    const int extra = lead >= 0xC2 && lead <= 0xDF ? 1 : lead >= 0xE0 && lead <= 0xEF ? 2 : lead >= 0xF0 && lead <= 0xF4 ? 3 : -1;
    if (extra < 0 || at + extra > text.size()) return std::nullopt;
    char32_t c = lead & (0x7F >> (extra + 1));
    for (int i = 0; i < extra; ++i) {
        const auto next = static_cast<uint8_t>(text[at++]);
        if ((next & 0xC0) != 0x80) return std::nullopt;
        c = c << 6 | (next & 0x3F);
    }
    const char32_t smallest = extra == 1 ? 0x80 : extra == 2 ? 0x800 : 0x10000;
    if (c < smallest || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return std::nullopt;
    return c;
}

}  // namespace

std::optional<std::string> Utf8ToWindows1252(std::string_view utf8) {
    std::string out;
    for (size_t at = 0; at < utf8.size();) {
        const std::optional<char32_t> c = NextCharacter(utf8, at);
        const std::optional<uint8_t> byte = c ? ByteOf(*c) : std::nullopt;
        if (!byte) return std::nullopt;
        out += static_cast<char>(*byte);
    }
    return out;
}

std::string Windows1252ToUtf8(std::string_view text) {
    std::string out;
    for (const char c : text) AppendUtf8(out, CharacterOf(static_cast<uint8_t>(c)));
    return out;
}

std::string PrintableName(std::string_view text) {
    std::string out;
    for (const char c : text) {
        const auto byte = static_cast<uint8_t>(c);
        // An undefined byte would come out as a C1 control: U+009D, say, starts a terminal command.
        if (byte < 0x20 || byte == 0x7F || IsUndefined(byte)) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
            out += escaped;
        } else {
            AppendUtf8(out, CharacterOf(byte));
        }
    }
    return out;
}
