#pragma once
// Controls: the items of the setup dialog, reached by control ID. The Defaults rules, the page
// groups, the requirements and the gathering are written against it; the Win32 adapter sends the
// dialog-item messages (controls_win32.h), tests use an in-memory dialog.
//
// Lists are sorted drop-down lists: positions count from 0 in their sorted order, -1 is "no
// selection" or "not found".
class Controls {
public:
    virtual ~Controls() = default;

    virtual void Show(int id, bool visible) = 0;
    virtual void Enable(int id, bool enabled) = 0;

    // Check boxes and radio buttons. Setting one leaves the others of its radio set as they are.
    virtual bool IsChecked(int id) = 0;
    virtual void SetChecked(int id, bool checked) = 0;

    // Copies at most capacity - 1 characters of the item's text and a terminator; returns the length copied.
    virtual int GetText(int id, char* buffer, int capacity) = 0;
    virtual void SetText(int id, const char* text) = 0;

    // Adds an entry to a list, which puts it in its sorted place; returns that position, -1 on failure.
    virtual int AddString(int id, const char* text) = 0;
    // Every entry carries a code, 0 until it is set; it stays with the entry as the list sorts.
    virtual void SetItemCode(int id, int position, int code) = 0;
    // The code of the entry at `position`, or -1 when the list has no such entry.
    virtual int ItemCode(int id, int position) = 0;
    virtual int Selection(int id) = 0;
    // -1 clears the selection; what a position outside the list does differs between platforms.
    virtual void Select(int id, int position) = 0;
    // First entry, searching from the start of the list, that begins with `prefix` without regard to
    // case. An empty prefix finds nothing on some platforms: callers do not ask with one.
    virtual int FindPrefix(int id, const char* prefix) = 0;
    // Copies the entry at `position`, cut to capacity - 1 characters, with a terminator; returns the
    // length copied, or -1 (buffer untouched) when the list has no such entry.
    virtual int ItemText(int id, int position, char* buffer, int capacity) = 0;
};
