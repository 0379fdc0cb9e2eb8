#pragma once
// ControlGroupTable: for each tab page (row) and Defaults category (column), the dialog controls
// that are shown together. A constant: the dialog only reads it.
#include <array>
#include <cstddef>

inline constexpr int kTabPageCount = 4;
inline constexpr int kDefaultsCategoryCount = 5;
inline constexpr int kTabWelcome = 0;
inline constexpr int kTabRequirements = 1;
inline constexpr int kTabDefaults = 2;
inline constexpr int kTabInstallation = 3;

class ControlGroup {
public:
    static constexpr size_t kCapacity = 16;
    bool Append(int controlId);
    size_t size() const { return count_; }
    int operator[](size_t position) const { return ids_[position]; }

private:
    std::array<int, kCapacity> ids_{};
    size_t count_ = 0;
};

using ControlGroupTable = std::array<std::array<ControlGroup, kDefaultsCategoryCount>, kTabPageCount>;

// The controls of every page and category in their fixed order.
extern const ControlGroupTable kControlGroupTable;
