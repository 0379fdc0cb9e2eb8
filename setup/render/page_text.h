#pragma once
// The MiniRTF text of each tab page, composed from the string table and the values it shows, and
// the layout of that text that the page painter runs on every paint.
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "platform/ports.h"
#include "platform/text_device.h"

inline constexpr size_t kPageTextSize = 1024;  // at most 1023 characters and the terminator

struct PageTextInputs {
    int32_t tab = 0;  // 0 Welcome, 1 Requirements, 2 Defaults, 3 Installation
    bool installed = false;
    int32_t printerCount = 0;
    bool registryPrivilege = false;
    std::string_view installationDirectory;  // only its first 259 characters are shown
};

// Composes the text of `inputs.tab` into `text`; false, with an empty text, for any other tab.
bool ComposePageText(Strings& strings, const PageTextInputs& inputs, std::span<char, kPageTextSize> text);

// The malformed page texts already reported. A page is repainted on every exposure and laid out
// twice per paint; one box per text is enough, and a box that pops up on each repaint would bury the
// dialog.
class ReportedTexts {
public:
    bool Contains(uint64_t fingerprint) const;
    void Add(uint64_t fingerprint);

private:
    std::array<uint64_t, 16> fingerprints_{};
    size_t count_ = 0;
    size_t next_ = 0;
};

// Draws text page `page` of `text` into `box`, then counts the pages with a measure-only pass; returns
// that count. A malformed text is reported only if `reported` does not hold it yet.
int32_t RenderPageText(TextDevice& device, Messages& messages, ReportedTexts& reported, TextRect box,
                       std::string_view text, int32_t page);
