#include <oleacc.h>

#include <algorithm>
#include <string>

#include "controls/ListView.h"
#include "controls/win/ControlEvents_win.h"
#include "controls/win/ControlKind_win.h"
#include "platform/VisibleText.h"
#include "platform/win/Text_win.h"

namespace ondrevan::win {
namespace {

bool ShiftHeld() {
    return (::GetKeyState(VK_SHIFT) & 0x8000) != 0;
}

void MirrorColumns(const ControlWindows& windows, HWND window, const ListView& list) {
    while (ListView_DeleteColumn(window, 0)) {
    }
    for (std::size_t i = 0; i < list.Columns().size(); ++i) {
        std::wstring heading = Widen(list.Columns()[i].heading);
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.pszText = heading.data();
        column.cx = windows.CurrentDpi().Px(list.Columns()[i].widthTwips);
        ListView_InsertColumn(window, static_cast<int>(i), &column);
    }
}

void MirrorSelection(ControlWindows& windows, HWND window, ListView& list) {
    ControlWindows::Echo echo(windows, list);
    // Only the item that has the selection or the focus loses it: the list selects one at a
    // time, and a sweep over every item (-1) costs a stored list of 32,766 entries dearly.
    for (const UINT state : {LVNI_SELECTED, LVNI_FOCUSED})
        if (const int item = ListView_GetNextItem(window, -1, state); item >= 0)
            ListView_SetItemState(window, item, 0, LVIS_SELECTED | LVIS_FOCUSED);
    if (auto selected = list.Selected()) {
        const int index = static_cast<int>(*selected);
        ListView_SetItemState(window, index, LVIS_SELECTED | LVIS_FOCUSED,
                              LVIS_SELECTED | LVIS_FOCUSED);
        ListView_EnsureVisible(window, index, FALSE);
    }
}

// A virtual list: only the count is handed over, texts are asked for on display.
void GiveText(const ListView& list, NMLVDISPINFOW& info) {
    const auto index = static_cast<std::size_t>(info.item.iItem);
    if (!(info.item.mask & LVIF_TEXT) || info.item.cchTextMax <= 0 || index >= list.Count()) return;
    std::wstring text =
        Widen(info.item.iSubItem == 0 ? VisibleText(list.Item(index)) : list.Detail(index));
    const std::size_t room = static_cast<std::size_t>(info.item.cchTextMax) - 1;
    const std::size_t length = std::min(text.size(), room);
    std::copy_n(text.c_str(), length, info.item.pszText);
    info.item.pszText[length] = L'\0';
}

void SelectionChanged(ListView& list, const NMLISTVIEW& change) {
    const bool nowSelected = (change.uNewState & LVIS_SELECTED) != 0;
    const bool wasSelected = (change.uOldState & LVIS_SELECTED) != 0;
    if (nowSelected && !wasSelected && change.iItem >= 0)
        list.SelectionChangedByUser(static_cast<std::size_t>(change.iItem));
    else if (!nowSelected && wasSelected &&
             (change.iItem < 0 || list.Selected() == static_cast<std::size_t>(change.iItem)))
        list.SelectionChangedByUser(std::nullopt);
}

class ListViewKind final : public ControlKindWin {
  public:
    WindowClass ClassFor(const Control&) const override {
        return {WC_LISTVIEWW,
                WS_CHILD | WS_CLIPSIBLINGS | WS_TABSTOP | LVS_REPORT | LVS_OWNERDATA |
                    LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_NOSORTHEADER,
                WS_EX_CLIENTEDGE};
    }

    void Created(ControlWindows& windows, Entry& entry) const override {
        ListView_SetExtendedListViewStyle(entry.window, LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
        Mirror(windows, entry, Property::Columns, false);
        Mirror(windows, entry, Property::Items, false);
    }
    // The columns' widths follow the scale.
    void Rescaled(ControlWindows& windows, Entry& entry) const override {
        Mirror(windows, entry, Property::Columns, false);
    }
    void Mirror(ControlWindows& windows, Entry& entry, Property property,
                bool echo) const override {
        auto& list = static_cast<ListView&>(*entry.control);
        switch (property) {
            case Property::Columns:
                MirrorColumns(windows, entry.window, list);
                break;
            case Property::Items:
                ListView_SetItemCountEx(entry.window, static_cast<int>(list.Count()),
                                        LVSICF_NOSCROLL);
                ::InvalidateRect(entry.window, nullptr, TRUE);
                MirrorSelection(windows, entry.window, list);
                break;
            case Property::Selection:
                if (!echo) MirrorSelection(windows, entry.window, list);
                break;
            default:
                break;
        }
    }

    std::optional<LRESULT> Notify(ControlEvents& events, Entry& entry,
                                  const NMHDR& header) const override {
        auto& list = static_cast<ListView&>(*entry.control);
        switch (header.code) {
            case LVN_GETDISPINFOW:
                GiveText(list, const_cast<NMLVDISPINFOW&>(
                                   reinterpret_cast<const NMLVDISPINFOW&>(header)));
                return 0;
            case LVN_ITEMCHANGED:
                if (events.Windows().Routing() != &list)
                    SelectionChanged(list, reinterpret_cast<const NMLISTVIEW&>(header));
                return 0;
            case NM_DBLCLK:
                list.DblClick.Raise();
                return 0;
            default:
                return std::nullopt;
        }
    }

    void Describe(const Control&, AccessibleFacts& facts) const override {
        facts.role = ROLE_SYSTEM_LIST;
    }

    std::optional<LRESULT> Intercept(ControlEvents&, Entry& entry, UINT message, WPARAM wParam,
                                     LPARAM) const override {
        // Shift+F10 and the Menu key open the list's own menu, as a right click does; the
        // key's release must not open the menu bar as well.
        const bool menuKey = wParam == VK_APPS || (wParam == VK_F10 && ShiftHeld());
        const bool opens = message == WM_KEYDOWN || (message == WM_SYSKEYDOWN && wParam == VK_F10);
        const bool swallowed = message == WM_SYSKEYUP || message == WM_KEYUP;
        if (!menuKey || !(opens || swallowed)) return std::nullopt;
        if (opens)
            ::SendMessageW(::GetParent(entry.window), WM_CONTEXTMENU,
                           reinterpret_cast<WPARAM>(entry.window), -1);
        return 0;
    }
};

}  // namespace

const ControlKindWin& ListViewWin() {
    static const ListViewKind kind;
    return kind;
}

}  // namespace ondrevan::win
