#include "fake_controls.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstring>

namespace {

// The automatic radio buttons that exclude each other.
const std::vector<std::vector<int>> kRadioSets = {
    {1006, 1004, 1005}, {1007, 1009}, {1057, 1058}, {1071, 1072}, {1041, 1042, 1043, 1046, 1047}};

int CompareWithoutCase(const std::string& a, const std::string& b) {
    const size_t common = std::min(a.size(), b.size());
    for (size_t i = 0; i < common; ++i) {
        const int left = std::tolower(static_cast<unsigned char>(a[i]));
        const int right = std::tolower(static_cast<unsigned char>(b[i]));
        if (left != right) return left < right ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

bool BeginsWithoutCase(const std::string& text, const std::string& prefix) {
    return text.size() >= prefix.size() && CompareWithoutCase(text.substr(0, prefix.size()), prefix) == 0;
}

const char* KindName(ControlKind kind) {
    switch (kind) {
        case ControlKind::PushButton:
            return "push button";
        case ControlKind::AutoRadio:
            return "radio button";
        case ControlKind::AutoCheck:
            return "check box";
        case ControlKind::List:
            return "list";
        case ControlKind::Edit:
            return "edit field";
        case ControlKind::Label:
            return "label";
        case ControlKind::Frame:
            return "frame control";
    }
    return "?";
}

}  // namespace

FakeControls::FakeControls() {
    struct Template {
        int id;
        ControlKind kind;
        const char* text;
        bool visible;
        bool enabled;
    };
    using K = ControlKind;
    const Template controls[] = {
        {1, K::PushButton, "Install", true, false},
        {3, K::PushButton, "Uninstall", false, true},
        {2, K::PushButton, "Cancel", true, true},
        {1035, K::Frame, "", true, false},
        {1037, K::Frame, "", true, false},
        {1036, K::Frame, "Spin1", false, false},
        {1000, K::Frame, "Tab1", true, true},
        {1041, K::AutoRadio, "Printer/Font Defaults", false, true},
        {1042, K::AutoRadio, "Sorting Defaults", false, true},
        {1043, K::AutoRadio, "File display defaults", false, true},
        {1047, K::AutoRadio, "Folder display def.", false, true},
        {1046, K::AutoRadio, "Backdrop settings", false, true},
        {1006, K::AutoRadio, "Pick printer every time", false, true},
        {1004, K::AutoRadio, "Use default printer", false, true},
        {1005, K::AutoRadio, "Use this printer", false, true},
        {1020, K::List, "", false, true},
        {1007, K::AutoRadio, "Pick font every time", false, true},
        {1009, K::AutoRadio, "Use this font", false, true},
        {1019, K::List, "", false, true},
        {1032, K::Label, "Size", false, true},
        {1031, K::Edit, "", false, true},
        {1045, K::AutoCheck, "Sort files by", false, true},
        {1056, K::List, "", false, true},
        {1063, K::Label, "in", false, true},
        {1055, K::PushButton, "Ascending", false, true},
        {1062, K::Label, "order", false, true},
        {1044, K::AutoCheck, "Sort folders by", false, true},
        {1054, K::List, "", false, true},
        {1070, K::Label, "in", false, true},
        {1053, K::PushButton, "Ascending", false, true},
        {1064, K::Label, "order", false, true},
        {1065, K::AutoCheck, "Choose settings at print time", false, true},
        {1057, K::AutoRadio, "Normal. No additional information is displayed", false, true},
        {1058, K::AutoRadio, "Enhanced. Show", false, true},
        {1059, K::List, "", false, true},
        {1060, K::Label, "File sizes are displayed in", false, false},
        {1061, K::List, "", false, false},
        {1066, K::AutoCheck, "Choose settings at print time", false, true},
        {1067, K::PushButton, "Do not", false, true},
        {1068, K::Label, "print the backdrop", false, true},
        {1069, K::AutoCheck, "Choose settings at print time", false, true},
        {1071, K::AutoRadio, "Normal. No additional information is displayed", false, true},
        {1072, K::AutoRadio, "Enhanced. Show", false, true},
        {1073, K::List, "", false, true},
        {1074, K::Label, "Folder sizes are displayed in", false, false},
        {1075, K::List, "", false, false},
        {1076, K::AutoCheck, "Choose settings at print time", false, true},
        {1029, K::PushButton, "Change", false, true},
        {1030, K::Edit, "", false, true},
    };
    for (const Template& t : controls) {
        Control& control = controls_[t.id];
        control.kind = t.kind;
        control.text = t.text;
        control.visible = t.visible;
        control.enabled = t.enabled;
    }
}

FakeControls::Control* FakeControls::Find(int id, const char* operation) {
    const auto it = controls_.find(id);
    if (it == controls_.end()) {
        ADD_FAILURE() << operation << " on control " << id << ", which the dialog does not have";
        return nullptr;
    }
    return &it->second;
}

const FakeControls::Control* FakeControls::Find(int id, const char* operation) const {
    return const_cast<FakeControls*>(this)->Find(id, operation);
}

FakeControls::Control* FakeControls::FindKind(int id, const char* operation, std::initializer_list<ControlKind> kinds) {
    Control* control = Find(id, operation);
    if (control == nullptr) return nullptr;
    if (std::find(kinds.begin(), kinds.end(), control->kind) == kinds.end()) {
        ADD_FAILURE() << operation << " on control " << id << ", a " << KindName(control->kind);
        return nullptr;
    }
    return control;
}

void FakeControls::ClearRadioSet(int id) {
    for (const std::vector<int>& set : kRadioSets) {
        if (std::find(set.begin(), set.end(), id) == set.end()) continue;
        for (int other : set) {
            if (other != id) controls_[other].checked = false;
        }
    }
}

void FakeControls::Show(int id, bool visible) {
    Control* control = Find(id, "Show");
    if (control == nullptr) return;
    if (control->visible && !visible) hidings_.push_back(id);
    control->visible = visible;
}

void FakeControls::Enable(int id, bool enabled) {
    if (Control* control = Find(id, "Enable")) control->enabled = enabled;
}

bool FakeControls::IsChecked(int id) {
    const Control* control = FindKind(id, "IsChecked", {ControlKind::AutoRadio, ControlKind::AutoCheck});
    return control != nullptr && control->checked;
}

void FakeControls::SetChecked(int id, bool checked) {
    Control* control = FindKind(id, "SetChecked", {ControlKind::AutoRadio, ControlKind::AutoCheck});
    if (control == nullptr) return;
    control->checked = checked;
}

int FakeControls::GetText(int id, char* buffer, int capacity) {
    const Control* control = Find(id, "GetText");
    if (control == nullptr || capacity <= 0) return 0;
    const size_t length = std::min(control->text.size(), static_cast<size_t>(capacity - 1));
    std::memcpy(buffer, control->text.data(), length);
    buffer[length] = '\0';
    return static_cast<int>(length);
}

void FakeControls::SetText(int id, const char* text) {
    if (Control* control = Find(id, "SetText")) control->text = text;
}

int FakeControls::AddString(int id, const char* text) {
    Control* list = FindKind(id, "AddString", {ControlKind::List});
    if (list == nullptr) return -1;
    const auto at =
        std::upper_bound(list->items.begin(), list->items.end(), std::string(text),
                         [](const std::string& a, const std::string& b) { return CompareWithoutCase(a, b) < 0; });
    const int position = static_cast<int>(at - list->items.begin());
    list->items.insert(at, text);
    list->codes.insert(list->codes.begin() + position, 0);
    if (list->selection >= position) ++list->selection;
    return position;
}

void FakeControls::SetItemCode(int id, int position, int code) {
    Control* list = FindKind(id, "SetItemCode", {ControlKind::List});
    if (list == nullptr) return;
    if (position < 0 || position >= static_cast<int>(list->codes.size())) {
        ADD_FAILURE() << "SetItemCode at position " << position << " of list " << id << ", which has no such entry";
        return;
    }
    list->codes[position] = code;
}

int FakeControls::ItemCode(int id, int position) {
    const Control* list = FindKind(id, "ItemCode", {ControlKind::List});
    if (list == nullptr || position < 0 || position >= static_cast<int>(list->codes.size())) return -1;
    return list->codes[position];
}

int FakeControls::Selection(int id) {
    const Control* list = FindKind(id, "Selection", {ControlKind::List});
    return list == nullptr ? -1 : list->selection;
}

void FakeControls::Select(int id, int position) {
    Control* list = FindKind(id, "Select", {ControlKind::List});
    if (list == nullptr) return;
    if (position == -1) list->selection = -1;
    if (position >= 0 && position < static_cast<int>(list->items.size())) list->selection = position;
}

int FakeControls::FindPrefix(int id, const char* prefix) {
    const Control* list = FindKind(id, "FindPrefix", {ControlKind::List});
    if (list == nullptr || prefix[0] == '\0') return -1;
    for (size_t i = 0; i < list->items.size(); ++i) {
        if (BeginsWithoutCase(list->items[i], prefix)) return static_cast<int>(i);
    }
    return -1;
}

int FakeControls::ItemText(int id, int position, char* buffer, int capacity) {
    const Control* list = FindKind(id, "ItemText", {ControlKind::List});
    if (list == nullptr || capacity <= 0 || position < 0 || position >= static_cast<int>(list->items.size())) return -1;
    const std::string& item = list->items[position];
    const size_t length = std::min(item.size(), static_cast<size_t>(capacity - 1));
    std::memcpy(buffer, item.data(), length);
    buffer[length] = '\0';
    return static_cast<int>(length);
}

void FakeControls::Click(int id) {
    Control* control = Find(id, "Click");
    if (control == nullptr) return;
    if (!control->enabled) {
        ADD_FAILURE() << "Click on control " << id << ", which is disabled";
        return;
    }
    if (control->kind == ControlKind::AutoCheck) control->checked = !control->checked;
    if (control->kind == ControlKind::AutoRadio) {
        control->checked = true;
        ClearRadioSet(id);
    }
}

void FakeControls::Choose(int listId, const std::string& entry) {
    Control* list = FindKind(listId, "Choose", {ControlKind::List});
    if (list == nullptr) return;
    if (!list->enabled) ADD_FAILURE() << "Choose in list " << listId << ", which is disabled";
    const auto at = std::find(list->items.begin(), list->items.end(), entry);
    if (at == list->items.end()) {
        ADD_FAILURE() << "list " << listId << " has no entry " << entry;
        return;
    }
    list->selection = static_cast<int>(at - list->items.begin());
}

bool FakeControls::Visible(int id) const {
    const Control* control = Find(id, "Visible");
    return control != nullptr && control->visible;
}

bool FakeControls::Enabled(int id) const {
    const Control* control = Find(id, "Enabled");
    return control != nullptr && control->enabled;
}

bool FakeControls::Checked(int id) const {
    const Control* control = Find(id, "Checked");
    return control != nullptr && control->checked;
}

const std::string& FakeControls::Text(int id) const {
    static const std::string none;
    const Control* control = Find(id, "Text");
    return control == nullptr ? none : control->text;
}

const std::vector<std::string>& FakeControls::Items(int listId) const {
    static const std::vector<std::string> none;
    const Control* control = Find(listId, "Items");
    return control == nullptr ? none : control->items;
}

const std::vector<int>& FakeControls::Codes(int listId) const {
    static const std::vector<int> none;
    const Control* control = Find(listId, "Codes");
    return control == nullptr ? none : control->codes;
}

std::string FakeControls::SelectedText(int listId) const {
    const Control* control = Find(listId, "SelectedText");
    if (control == nullptr || control->selection < 0) return "";
    return control->items[control->selection];
}

std::vector<int> FakeControls::VisibleIds() const {
    std::vector<int> ids;
    for (const auto& [id, control] : controls_) {
        if (control.visible) ids.push_back(id);
    }
    return ids;
}

std::vector<int> FakeControls::AllIds() const {
    std::vector<int> ids;
    for (const auto& [id, control] : controls_) ids.push_back(id);
    return ids;
}
