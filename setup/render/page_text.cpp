#include "render/page_text.h"

#include <algorithm>
#include <cstring>

#include "render/mini_rtf.h"
#include "resources/resource_ids.h"
#include "text/text_format.h"
#include "text/text_slice.h"

namespace {

constexpr int kRequirementsFormatSize = 1024;  // string 6: at most 1023 characters
constexpr int kReasonSize = 254;               // strings 13 and 22: at most 253 characters
constexpr int kInstalledFormatSize = 260;      // string 17: at most 259 characters

void ComposeRequirements(Strings& strings, const PageTextInputs& inputs, std::span<char, kPageTextSize> text) {
    char format[kRequirementsFormatSize];
    char noPrinter[kReasonSize] = "";
    char noPrivilege[kReasonSize] = "";
    strings.Load(IDS_REQUIREMENTS_TEXT, format, kRequirementsFormatSize);
    if (inputs.printerCount == 0) strings.Load(IDS_NO_PRINTER, noPrinter, kReasonSize);
    if (!inputs.registryPrivilege) strings.Load(IDS_NO_PRIVILEGE, noPrivilege, kReasonSize);
    FormatText(text.data(), text.size(), format, static_cast<int>(inputs.printerCount),
               inputs.registryPrivilege ? "Yes" : "No", "", noPrinter, noPrivilege);
}

// The directory comes from a stored record, so it is cut at its field's length rather than trusted
// to be terminated.
void ComposeInstalledTo(Strings& strings, const PageTextInputs& inputs, std::span<char, kPageTextSize> text) {
    char format[kInstalledFormatSize];
    char directory[kMaxPath];
    strings.Load(IDS_INSTALLED_TO_TEXT, format, kInstalledFormatSize);
    const std::string_view shown =
        Slice(inputs.installationDirectory, 0, std::min(inputs.installationDirectory.find('\0'), kMaxPath - 1));
    std::memcpy(directory, shown.data(), shown.size());
    directory[shown.size()] = '\0';
    FormatText(text.data(), text.size(), format, directory);
}

// FNV-1a: a repaint hands over the same bytes, so equal texts give equal fingerprints.
uint64_t Fingerprint(std::string_view text) {
    uint64_t hash = 14695981039346656037ull;
    for (const char c : text) {
        hash ^= static_cast<uint8_t>(c);
        hash *= 1099511628211ull;
    }
    return hash;
}

// Passes the first box for a text on and swallows the rest. The text is marked before the box is
// shown: the box runs a message loop in which the page can be painted again.
class OncePerTextMessages final : public Messages {
public:
    OncePerTextMessages(Messages& inner, ReportedTexts& reported, uint64_t fingerprint)
        : inner_(inner), reported_(reported), fingerprint_(fingerprint) {}
    int Show(const char* text, const char* caption, uint32_t style) override {
        if (reported_.Contains(fingerprint_)) return kAnswerOk;
        reported_.Add(fingerprint_);
        return inner_.Show(text, caption, style);
    }

private:
    Messages& inner_;
    ReportedTexts& reported_;
    uint64_t fingerprint_;
};

}  // namespace

bool ComposePageText(Strings& strings, const PageTextInputs& inputs, std::span<char, kPageTextSize> text) {
    text[0] = '\0';
    const int capacity = static_cast<int>(text.size());
    switch (inputs.tab) {
        case 0:  // Welcome
            strings.Load(inputs.installed ? IDS_WELCOME_BACK_TEXT : IDS_WELCOME_TEXT, text.data(), capacity);
            return true;
        case 1:  // Requirements
            ComposeRequirements(strings, inputs, text);
            return true;
        case 2:  // Defaults
            strings.Load(IDS_DEFAULTS_TEXT, text.data(), capacity);
            return true;
        case 3:  // Installation
            if (inputs.installed) {
                ComposeInstalledTo(strings, inputs, text);
            } else {
                strings.Load(IDS_INSTALLATION_TEXT, text.data(), capacity);
            }
            return true;
        default:
            return false;
    }
}

bool ReportedTexts::Contains(uint64_t fingerprint) const {
    return std::find(fingerprints_.begin(), fingerprints_.begin() + count_, fingerprint) !=
           fingerprints_.begin() + count_;
}

// When full, the oldest report makes room: at worst that text is reported once more.
void ReportedTexts::Add(uint64_t fingerprint) {
    fingerprints_[next_] = fingerprint;
    next_ = (next_ + 1) % fingerprints_.size();
    count_ = std::min(count_ + 1, fingerprints_.size());
}

int32_t RenderPageText(TextDevice& device, Messages& messages, ReportedTexts& reported, TextRect box,
                       std::string_view text, int32_t page) {
    text = Slice(text, 0, text.find('\0'));
    OncePerTextMessages oncePerText(messages, reported, Fingerprint(text));
    RenderMiniRtf(device, box, text, page, false, oncePerText);
    return RenderMiniRtf(device, box, text, page, true, oncePerText);
}
