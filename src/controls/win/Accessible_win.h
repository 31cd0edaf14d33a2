#pragma once

#include <windows.h>

#include <string>

namespace ondrevan::win {

// What a screen reader is told of one control, where the system's own description of the
// window class falls short: a role of its own, a name, a value.
struct AccessibleFacts {
    long role = 0;  // 0: the system's
    std::wstring name;
    bool hasName = false;
    std::wstring value;
    bool hasValue = false;
    bool checkable = false;  // a check box or an option: checked or not
    bool checked = false;
};

// The answer to WM_GETOBJECT for the control's client area: the system's accessible object
// for the window, with these facts in place of its own (where the system knows the window
// class they are the same; where it does not, as under Wine, they are the only ones).
// 0 when there is nothing to add.
LRESULT AnswerGetObject(HWND window, WPARAM wParam, LPARAM lParam, const AccessibleFacts& facts);

// Tells screen readers that the control's name or value changed.
void AnnounceNameChange(HWND window);
void AnnounceValueChange(HWND window);

}  // namespace ondrevan::win
