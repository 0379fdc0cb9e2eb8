// Dialog items through ShowWindow, EnableWindow, the button check state and the combo-box messages.
#include "platform/controls_win32.h"

#include <cstring>

#include "platform/byte_buffer.h"

LRESULT Win32Controls::Send(int id, UINT message, WPARAM wParam, LPARAM lParam) {
    return SendDlgItemMessageA(dialog_, id, message, wParam, lParam);
}

void Win32Controls::Show(int id, bool visible) { ShowWindow(GetDlgItem(dialog_, id), visible ? SW_SHOW : SW_HIDE); }

void Win32Controls::Enable(int id, bool enabled) { EnableWindow(GetDlgItem(dialog_, id), enabled ? TRUE : FALSE); }

bool Win32Controls::IsChecked(int id) { return IsDlgButtonChecked(dialog_, id) == BST_CHECKED; }

void Win32Controls::SetChecked(int id, bool checked) {
    CheckDlgButton(dialog_, id, checked ? BST_CHECKED : BST_UNCHECKED);
}

int Win32Controls::GetText(int id, char* buffer, int capacity) {
    if (capacity <= 0) return 0;
    buffer[0] = '\0';
    return static_cast<int>(GetDlgItemTextA(dialog_, id, buffer, capacity));
}

void Win32Controls::SetText(int id, const char* text) { SetDlgItemTextA(dialog_, id, text); }

int Win32Controls::AddString(int id, const char* text) {
    const LRESULT position = Send(id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    return position < 0 ? -1 : static_cast<int>(position);
}

void Win32Controls::SetItemCode(int id, int position, int code) {
    Send(id, CB_SETITEMDATA, static_cast<WPARAM>(position), code);
}

int Win32Controls::ItemCode(int id, int position) {
    const LRESULT code = Send(id, CB_GETITEMDATA, static_cast<WPARAM>(position), 0);
    return code == CB_ERR ? -1 : static_cast<int>(code);
}

int Win32Controls::Selection(int id) {
    const LRESULT position = Send(id, CB_GETCURSEL, 0, 0);
    return position == CB_ERR ? -1 : static_cast<int>(position);
}

void Win32Controls::Select(int id, int position) { Send(id, CB_SETCURSEL, static_cast<WPARAM>(position), 0); }

int Win32Controls::FindPrefix(int id, const char* prefix) {
    const LRESULT position = Send(id, CB_FINDSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(prefix));
    return position == CB_ERR ? -1 : static_cast<int>(position);
}

// CB_GETLBTEXT knows no buffer size: an entry longer than the caller's buffer is fetched whole into
// one of its own length and then cut.
int Win32Controls::ItemText(int id, int position, char* buffer, int capacity) {
    const LRESULT length = Send(id, CB_GETLBTEXTLEN, static_cast<WPARAM>(position), 0);
    if (length == CB_ERR || length < 0 || capacity <= 0) return -1;
    if (length < capacity) {
        const LRESULT copied = Send(id, CB_GETLBTEXT, static_cast<WPARAM>(position), reinterpret_cast<LPARAM>(buffer));
        return copied == CB_ERR ? -1 : static_cast<int>(copied);
    }
    ByteBuffer whole;
    if (!whole.Allocate(static_cast<size_t>(length) + 1)) return -1;
    if (Send(id, CB_GETLBTEXT, static_cast<WPARAM>(position), reinterpret_cast<LPARAM>(whole.data())) == CB_ERR) {
        return -1;
    }
    const size_t kept = static_cast<size_t>(capacity - 1);
    std::memcpy(buffer, whole.data(), kept);
    buffer[kept] = '\0';
    return static_cast<int>(kept);
}
