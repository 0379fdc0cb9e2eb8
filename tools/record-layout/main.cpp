// record-layout: prints the stored layout of the SetupDialog record, one field a line as
// "name offset width kind" (kind: int, flag, text or bytes), so that scripts reading or seeding the
// registry value "config" take the offsets from this header instead of typing them again.
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <type_traits>

#include "configuration/setup_dialog_record.h"

namespace {

struct Field {
    const char* name;
    size_t offset;
    size_t width;
    const char* kind;
};

template <typename T>
constexpr const char* KindOf() {
    if constexpr (std::is_same_v<T, int32_t>) return "int";
    else if constexpr (std::is_same_v<T, uint8_t>) return "flag";
    else if constexpr (std::is_same_v<std::remove_extent_t<T>, char>) return "text";
    else return "bytes";
}

#define RECORD_FIELD(name) \
    Field { #name, offsetof(SetupDialog, name), sizeof(SetupDialog::name), KindOf<decltype(SetupDialog::name)>() }

constexpr std::array kFields = {
    RECORD_FIELD(version),
    RECORD_FIELD(reserved1),
    RECORD_FIELD(currentTab),
    RECORD_FIELD(currentTextPage),
    RECORD_FIELD(defaultsCategory),
    RECORD_FIELD(sortAtPrintTime),
    RECORD_FIELD(sortFolders),
    RECORD_FIELD(padding1),
    RECORD_FIELD(folderSortKey),
    RECORD_FIELD(sortFiles),
    RECORD_FIELD(padding2),
    RECORD_FIELD(fileSortKey),
    RECORD_FIELD(folderSortDescending),
    RECORD_FIELD(fileSortDescending),
    RECORD_FIELD(fileDisplayAtPrintTime),
    RECORD_FIELD(folderDisplayAtPrintTime),
    RECORD_FIELD(padding3),
    RECORD_FIELD(fileDisplayColumn),
    RECORD_FIELD(folderDisplayColumn),
    RECORD_FIELD(fileSizeUnit),
    RECORD_FIELD(folderSizeUnit),
    RECORD_FIELD(printBackdrop),
    RECORD_FIELD(backdropAtPrintTime),
    RECORD_FIELD(padding4),
    RECORD_FIELD(reserved2),
    RECORD_FIELD(defaultsReviewed),
    RECORD_FIELD(installationReviewed),
    RECORD_FIELD(registryPrivilege),
    RECORD_FIELD(reserved3),
    RECORD_FIELD(pickFontEveryTime),
    RECORD_FIELD(fontName),
    RECORD_FIELD(padding5),
    RECORD_FIELD(fontSize),
    RECORD_FIELD(printerCount),
    RECORD_FIELD(useDefaultPrinter),
    RECORD_FIELD(pickPrinterEveryTime),
    RECORD_FIELD(printerName),
    RECORD_FIELD(installationDirectory),
    RECORD_FIELD(padding6),
};

// True when the fields, in this order, cover every byte of the record once: no member of the
// struct can be missing from the list.
constexpr bool TilesTheRecord() {
    size_t end = 0;
    for (const Field& field : kFields) {
        if (field.offset != end) return false;
        end += field.width;
    }
    return end == sizeof(SetupDialog);
}
static_assert(TilesTheRecord(), "list every SetupDialog member here, in declaration order");

}  // namespace

int main() {
    for (const Field& field : kFields) std::printf("%s %zu %zu %s\n", field.name, field.offset, field.width, field.kind);
    return 0;
}
