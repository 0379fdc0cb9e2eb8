#pragma once
// The Controls port over the items of a Win32 dialog window.
#include <windows.h>

#include "platform/controls.h"

class Win32Controls final : public Controls {
public:
    explicit Win32Controls(HWND dialog) : dialog_(dialog) {}

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

private:
    LRESULT Send(int id, UINT message, WPARAM wParam, LPARAM lParam);

    HWND dialog_;
};
