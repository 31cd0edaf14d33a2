#include <oleacc.h>

#include <algorithm>
#include <string>

#include "controls/Simple.h"
#include "controls/win/ControlKind_win.h"
#include "platform/win/UniqueHandle.h"

namespace ondrevan::win {
namespace {

// Grows a window to hold its caption in one line, never shrinking it below its design. A
// label that does not size itself grows by a quarter of its width at most: a longer text
// (a fault said in a sentence) wraps within its place rather than run out of the window.
void FitToCaption(HWND window, bool autoSize) {
    const WindowDc dc(window);
    if (!dc) return;
    SIZE extent{};
    {
        const SelectedObject font(
            dc.get(), reinterpret_cast<HFONT>(::SendMessageW(window, WM_GETFONT, 0, 0)));
        int length = ::GetWindowTextLengthW(window);
        std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
        ::GetWindowTextW(window, text.data(), length + 1);
        ::GetTextExtentPoint32W(dc.get(), text.c_str(), length, &extent);
    }
    RECT rect;
    ::GetClientRect(window, &rect);
    LONG width = std::max<LONG>(rect.right, extent.cx + 2);
    if (!autoSize && width > rect.right + rect.right / 4) width = rect.right;
    // Never beyond its window: a window laid out smaller to fit its screen has less room
    // beside the label than its design.
    RECT place, parent;
    if (::GetWindowRect(window, &place) && ::GetClientRect(::GetParent(window), &parent)) {
        ::MapWindowPoints(nullptr, ::GetParent(window), reinterpret_cast<POINT*>(&place), 2);
        width = std::max<LONG>(std::min<LONG>(width, parent.right - place.left), rect.right);
    }
    ::SetWindowPos(window, nullptr, 0, 0, width, std::max<LONG>(rect.bottom, extent.cy),
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

class LabelKind final : public ControlKindWin {
  public:
    WindowClass ClassFor(const Control& control) const override {
        DWORD style = WS_CHILD | WS_CLIPSIBLINGS | SS_LEFT | SS_NOTIFY;
        // A label that names a field shows its access key; others show '&' as it is.
        if (!static_cast<const Label&>(control).NamesField()) style |= SS_NOPREFIX;
        if (static_cast<const Label&>(control).CentredInHeight()) style |= SS_CENTERIMAGE;
        return {L"STATIC", style, 0};
    }
    bool TakesColors() const override { return true; }

    void Created(ControlWindows&, Entry& entry) const override {
        // A label sized to its caption (the hot-key hint) reaches down over the edge of the
        // buttons the design puts under it: it lies above them, so no letter is cut.
        if (static_cast<const Label&>(*entry.control).AutoSize())
            ::SetWindowPos(entry.window, HWND_TOP, 0, 0, 0, 0,
                           SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    // A label's caption is one line: where the font at this scale is a little wider than the
    // design's, the label grows rather than cut it.
    void FontTaken(HWND window) const override {
        const Entry* entry = ControlWindows::EntryOf(window);
        FitToCaption(window, entry && static_cast<const Label*>(entry->control)->AutoSize());
    }

    void Describe(const Control&, AccessibleFacts& facts) const override {
        facts.role = ROLE_SYSTEM_STATICTEXT;
    }
};

}  // namespace

const ControlKindWin& LabelWin() {
    static const LabelKind kind;
    return kind;
}

}  // namespace ondrevan::win
