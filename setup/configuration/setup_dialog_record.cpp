#include "configuration/setup_dialog_record.h"

#include <cstring>

#include "resources/resource_ids.h"

void InitNewRecord(SetupDialog& record, Strings& strings) {
    std::memset(&record, 0, sizeof record);
    char version[kRecordTextSize] = {};
    strings.Load(IDS_VERSION, version, sizeof version);
    std::memcpy(record.version, version, kVersionLength);
    record.currentTab = 1;
    record.currentTextPage = 1;
    record.pickFontEveryTime = 1;
    record.useDefaultPrinter = 1;
}
