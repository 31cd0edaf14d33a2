// The yardstick for start-up time with the same controls: a plain Win32 window holding the
// main window's controls at their designed places, with their fonts and the same common
// controls, and nothing else (no settings, no tray icon, no keyboard hook, no model).
#include <windows.h>

#include <commctrl.h>

#include <map>

#include "app/Layout.h"

namespace {

using ondrevan::ControlKind;

LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        ::PostQuitMessage(0);
        return 0;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

struct Kind {
    const wchar_t* className;
    DWORD style;
    DWORD exStyle;
};

Kind KindFor(ControlKind kind) {
    constexpr DWORD child = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
    switch (kind) {
        case ControlKind::PushButton:
            return {L"BUTTON", child | WS_TABSTOP | BS_PUSHBUTTON | BS_MULTILINE, 0};
        case ControlKind::OptionButton:
            return {L"BUTTON", child | WS_TABSTOP | BS_RADIOBUTTON, 0};
        case ControlKind::CheckBox:
            return {L"BUTTON", child | WS_TABSTOP | BS_CHECKBOX, 0};
        case ControlKind::Label:
            return {L"STATIC", child | SS_LEFT | SS_NOPREFIX, 0};
        case ControlKind::Frame:
            return {L"BUTTON", child | BS_GROUPBOX, 0};
        case ControlKind::ProgressBar:
            return {PROGRESS_CLASSW, child, 0};
        case ControlKind::TextBox:
            return {L"EDIT", child | WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE};
        case ControlKind::RichTextBox:
            return {L"EDIT", (child & ~WS_VISIBLE) | ES_MULTILINE | WS_VSCROLL, WS_EX_CLIENTEDGE};
        case ControlKind::ComboBox:
            return {WC_COMBOBOXW, child | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 0};
        case ControlKind::DateTimePicker:
            return {DATETIMEPICK_CLASSW, child | WS_TABSTOP | DTS_TIMEFORMAT, 0};
        case ControlKind::ListView:
            return {WC_LISTVIEWW, child | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL,
                    WS_EX_CLIENTEDGE};
        case ControlKind::Form:
        case ControlKind::Timer:
            break;
    }
    return {nullptr, 0, 0};
}

int Px(int twips, int dpi) {
    return ::MulDiv(twips, dpi, 1440);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
    INITCOMMONCONTROLSEX common{sizeof common, ICC_STANDARD_CLASSES | ICC_LISTVIEW_CLASSES |
                                                   ICC_DATE_CLASSES | ICC_PROGRESS_CLASS};
    ::InitCommonControlsEx(&common);
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = Proc;
    windowClass.hInstance = instance;
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = L"OndrevanBenchPlain";
    ::RegisterClassW(&windowClass);

    const HDC screen = ::GetDC(nullptr);
    const int dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
    ::ReleaseDC(nullptr, screen);
    RECT frame{0, 0, Px(ondrevan::kClientWidthTwips, dpi), Px(ondrevan::kClientHeightTwips, dpi)};
    constexpr DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    ::AdjustWindowRect(&frame, style, FALSE);
    HWND window = ::CreateWindowExW(WS_EX_CONTROLPARENT, L"OndrevanBenchPlain", L"Plain", style,
                                    CW_USEDEFAULT, CW_USEDEFAULT, frame.right - frame.left,
                                    frame.bottom - frame.top, nullptr, nullptr, instance, nullptr);

    std::map<double, HFONT> fonts;
    for (const ondrevan::LayoutEntry& entry : ondrevan::kLayout) {
        const Kind kind = KindFor(entry.kind);
        if (!kind.className) continue;
        const ondrevan::TwipRect at = ondrevan::ClientPosition(entry);
        int height = Px(at.height, dpi);
        if (entry.kind == ControlKind::ComboBox) height *= 8;
        wchar_t caption[128] = L"";
        ::MultiByteToWideChar(CP_UTF8, 0, entry.caption, -1, caption, 128);
        HWND child = ::CreateWindowExW(kind.exStyle, kind.className, caption, kind.style,
                                       Px(at.left, dpi), Px(at.top, dpi), Px(at.width, dpi), height,
                                       window, nullptr, instance, nullptr);
        HFONT& font = fonts[entry.fontPoints];
        if (!font)
            font = ::CreateFontW(-static_cast<int>(entry.fontPoints * dpi / 72.0 + 0.5), 0, 0, 0,
                                 FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                 CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, L"Arial");
        ::SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        if (entry.kind == ControlKind::ListView) {
            LVCOLUMNW column{};
            column.mask = LVCF_TEXT | LVCF_WIDTH;
            wchar_t heading[] = L" Folder(s)";
            column.pszText = heading;
            column.cx = Px(7000, dpi);
            ListView_InsertColumn(child, 0, &column);
        }
    }
    ::ShowWindow(window, show);
    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (!::IsDialogMessageW(window, &message)) {
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
    }
    for (auto& [points, font] : fonts) ::DeleteObject(font);
    return 0;
}
