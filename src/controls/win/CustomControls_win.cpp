#include "controls/win/CustomControls_win.h"

#include "controls/win/ControlWindows_win.h"

#include <algorithm>

#include "controls/ProgressBar.h"
#include "controls/Simple.h"
#include "platform/win/Text_win.h"
#include "platform/win/UniqueHandle.h"

namespace ondrevan::win {
namespace {

constexpr const wchar_t* kFontProperty = L"OndrevanFont";

Control* ModelOf(HWND window) {
    const ControlWindows::Entry* entry = ControlWindows::EntryOf(window);
    return entry ? entry->control : nullptr;
}

void FillWithColor(HDC dc, const RECT& rect, Color color, ColorRole role = ColorRole::Background) {
    ::SetBkColor(dc, ShownColorRef(color, role));
    ::ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
}

void PaintFrame(HWND window, HDC dc, const Control& frame) {
    RECT client;
    ::GetClientRect(window, &client);
    FillWithColor(dc, client, frame.BackColor());

    const SelectedObject font(dc, ::GetPropW(window, kFontProperty));
    std::wstring caption = Widen(frame.Caption());
    TEXTMETRICW metrics{};
    ::GetTextMetricsW(dc, &metrics);
    RECT edge = client;
    edge.top = metrics.tmHeight / 2;
    ::DrawEdge(dc, &edge, EDGE_ETCHED, BF_RECT);
    if (!caption.empty()) {
        RECT text{8, 0, client.right - 8, metrics.tmHeight};
        ::DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &text,
                    DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
        text.right = std::min<LONG>(text.right + 4, client.right - 4);
        text.left -= 2;
        FillWithColor(dc, text, frame.BackColor());
        ::SetTextColor(dc, ShownColorRef(frame.ForeColor(), ColorRole::Text));
        ::SetBkMode(dc, TRANSPARENT);
        text.left += 2;
        ::DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &text,
                    DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    }
}

void PaintProgress(HWND window, HDC dc, const ProgressBar& bar) {
    RECT client;
    ::GetClientRect(window, &client);
    FillWithColor(dc, client, colors::kWhite);
    RECT filled = client;
    ::InflateRect(&filled, -1, -1);
    filled.right =
        filled.left + static_cast<LONG>((filled.right - filled.left) * bar.FilledFraction());
    if (filled.right > filled.left)
        FillWithColor(dc, filled, colors::kProgressGreen, ColorRole::Progress);
    ::FrameRect(dc, &client, ::GetSysColorBrush(COLOR_BTNSHADOW));

    std::wstring text = Widen(bar.Text());
    const SelectedObject font(dc, ::GetPropW(window, kFontProperty));
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, ShownColorRef(colors::kBlack, ColorRole::Text));
    ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &client,
                DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

LRESULT CALLBACK CustomControlProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SETFONT:
            ::SetPropW(window, kFontProperty, reinterpret_cast<HANDLE>(wParam));
            if (LOWORD(lParam)) ::InvalidateRect(window, nullptr, TRUE);
            return 0;
        case WM_GETFONT:
            return reinterpret_cast<LRESULT>(::GetPropW(window, kFontProperty));
        case WM_ERASEBKGND:
            return 1;  // WM_PAINT covers every pixel
        case WM_PAINT: {
            PAINTSTRUCT paint;
            HDC dc = ::BeginPaint(window, &paint);
            if (Control* model = ModelOf(window)) {
                if (model->Kind() == ControlKind::ProgressBar)
                    PaintProgress(window, dc, static_cast<const ProgressBar&>(*model));
                else
                    PaintFrame(window, dc, *model);
            }
            ::EndPaint(window, &paint);
            return 0;
        }
        case WM_NCDESTROY:
            ::RemovePropW(window, kFontProperty);
            break;
        // A frame contains controls: what they tell their parent belongs to the window.
        case WM_COMMAND:
        case WM_NOTIFY:
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
            return ::SendMessageW(::GetAncestor(window, GA_ROOT), message, wParam, lParam);
        default:
            break;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

bool HighContrastOn() {
    HIGHCONTRASTW contrast{};
    contrast.cbSize = sizeof contrast;
    return ::SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0) &&
           (contrast.dwFlags & HCF_HIGHCONTRASTON) != 0;
}

COLORREF ShownColorRef(Color designed, ColorRole role) {
    return ToColorRef(ShownColor(designed, role, HighContrastOn()));
}

COLORREF ToColorRef(Color color) {
    if (colors::IsSystemColor(color)) return ::GetSysColor(static_cast<int>(color & 0xFF));
    return static_cast<COLORREF>(color & 0xFFFFFF);
}

bool RegisterCustomControlClasses(HINSTANCE instance) {
    for (const wchar_t* name : {kFrameClass, kProgressClass}) {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.style = CS_HREDRAW | CS_VREDRAW;
        windowClass.lpfnWndProc = CustomControlProc;
        windowClass.hInstance = instance;
        windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
        windowClass.lpszClassName = name;
        if (!::RegisterClassExW(&windowClass) && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
            return false;
    }
    return true;
}

}  // namespace ondrevan::win
