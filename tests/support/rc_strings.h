#pragma once
// The program's string table read from the build's resources/strings.rc (the one the image is made
// from, with the configured version), so tests see the same texts as the Win32 build.
#include <map>
#include <string>

#include "platform/ports.h"

class RcStrings final : public Strings {
public:
    RcStrings();  // reads KOVA_STRINGS_RC and the resource_ids.h beside it
    int Load(int id, char* buffer, int capacity) override;
    const std::string& Text(int id) const;  // the whole text; empty when the id has none
    void Override(int id, std::string text) { table_[id] = std::move(text); }
    void Remove(int id) { table_.erase(id); }

private:
    std::map<int, std::string> table_;
};
