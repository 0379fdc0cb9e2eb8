#pragma once
// The setup dialog's controls in memory, as dialog template 107 creates them and with the Win32
// behaviour the dialog logic relies on:
// - lists sort their entries without regard to letter case (CBS_SORT), FindPrefix matches the
//   beginning of an entry without regard to case, searching from the start, and finds nothing for
//   an empty prefix (CB_FINDSTRING); Select(-1) clears the selection, a position outside the list
//   leaves it as it is; each entry carries a code, 0 until set, that moves with it (CB_SETITEMDATA);
// - SetChecked changes that one button only (BM_SETCHECK), so code that sets a radio set must set
//   every button of it; a Click toggles an automatic check box, or checks an automatic radio button
//   and clears the others of its set, as the user's click does (BM_CLICK);
// - every control starts hidden except the frame; 1, 1035, 1036, 1037, 1060, 1061, 1074 and 1075
//   start disabled.
// Calls that do not fit the control (an unknown ID, checking a label, adding to a button) fail the
// running test.
#include <initializer_list>
#include <map>
#include <string>
#include <vector>

#include "platform/controls.h"

enum class ControlKind { PushButton, AutoRadio, AutoCheck, List, Edit, Label, Frame };

class FakeControls final : public Controls {
public:
    FakeControls();

    void Show(int id, bool visible) override;
    void Enable(int id, bool enabled) override;
    bool IsChecked(int id) override;
    void SetChecked(int id, bool checked) override;
    int GetText(int id, char* buffer, int capacity) override;
    void SetText(int id, const char* text) override;
    int AddString(int id, const char* text) override;
    void SetItemCode(int id, int position, int code) override;
    int ItemCode(int id, int position) override;
    int Selection(int id) override;
    void Select(int id, int position) override;
    int FindPrefix(int id, const char* prefix) override;
    int ItemText(int id, int position, char* buffer, int capacity) override;

    // The user's actions. Both fail the test when the control is disabled.
    void Click(int id);
    void Choose(int listId, const std::string& entry);  // selects the entry with exactly this text

    // Inspection.
    bool Visible(int id) const;
    bool Enabled(int id) const;
    bool Checked(int id) const;
    const std::string& Text(int id) const;
    const std::vector<std::string>& Items(int listId) const;
    const std::vector<int>& Codes(int listId) const;  // the code of each entry, in list order
    std::string SelectedText(int listId) const;       // "" without a selection
    std::vector<int> VisibleIds() const;
    std::vector<int> AllIds() const;
    // Every control that was hidden while it was on display, in order: a hidden control loses the
    // keyboard focus on the platform.
    const std::vector<int>& Hidings() const { return hidings_; }

private:
    struct Control {
        ControlKind kind = ControlKind::Label;
        bool visible = false;
        bool enabled = true;
        bool checked = false;
        std::string text;
        std::vector<std::string> items;
        std::vector<int> codes;
        int selection = -1;
    };
    Control* Find(int id, const char* operation);
    const Control* Find(int id, const char* operation) const;
    Control* FindKind(int id, const char* operation, std::initializer_list<ControlKind> kinds);
    void ClearRadioSet(int id);

    std::map<int, Control> controls_;
    std::vector<int> hidings_;
};
