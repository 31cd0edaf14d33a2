#include "app/win/PreviewWindow_win.h"

#include <commctrl.h>

#include <algorithm>
#include <string>

#include "app/PreviewForm.h"
#include "controls/win/Dpi_win.h"
#include "platform/win/Text_win.h"

namespace ondrevan::win {
namespace {

constexpr UINT_PTR kSubclassId = 0x5052;  // "PR"

bool IsNumberColumn(PreviewColumn column) {
    return column == PreviewColumn::Files || column == PreviewColumn::Size ||
           column == PreviewColumn::Kept;
}

}  // namespace

PreviewWindow::PreviewWindow(HINSTANCE instance, HWND owner, PreviewForm& form,
                             std::function<void(const std::function<void()>&)> guarded)
    : form_(form),
      guarded_(guarded),
      tool_(instance, owner, form.Window, form.Controls(), std::move(guarded)) {}

PreviewWindow::~PreviewWindow() {
    if (HWND window = tool_.Handle()) ::RemoveWindowSubclass(window, Subclass, kSubclassId);
}

bool PreviewWindow::Show() {
    const bool made = tool_.Handle() != nullptr;
    if (!tool_.Show()) return false;
    if (!made) {
        HWND window = tool_.Handle();
        list_ = tool_.WindowOf(form_.lvwReport);
        // A heading is a button to click: the list was made with headings that are not.
        ::SetWindowLongPtrW(list_, GWL_STYLE,
                            ::GetWindowLongPtrW(list_, GWL_STYLE) & ~LONG_PTR{LVS_NOSORTHEADER});
        if (HWND header = ListView_GetHeader(list_))
            ::SetWindowLongPtrW(header, GWL_STYLE,
                                ::GetWindowLongPtrW(header, GWL_STYLE) | HDS_BUTTONS);
        ListView_SetExtendedListViewStyle(
            list_, LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER | LVS_EX_LABELTIP);
        ::SetWindowSubclass(window, Subclass, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
    }
    ShowColumns();
    return true;
}

void PreviewWindow::ShowColumns() {
    if (!list_) return;
    HWND header = ListView_GetHeader(list_);
    for (std::size_t i = 0; i < kPreviewColumnHeadings.size(); ++i) {
        const auto column = static_cast<PreviewColumn>(i);
        LVCOLUMNW format{};
        format.mask = LVCF_FMT;
        format.fmt = IsNumberColumn(column) ? LVCFMT_RIGHT : LVCFMT_LEFT;
        ListView_SetColumn(list_, static_cast<int>(i), &format);
        if (!header) continue;
        HDITEMW item{};
        item.mask = HDI_FORMAT;
        if (!Header_GetItem(header, static_cast<int>(i), &item)) continue;
        item.fmt &= ~(HDF_SORTUP | HDF_SORTDOWN);
        if (form_.Sorted() && form_.SortColumn() == column)
            item.fmt |= form_.SortedDescending() ? HDF_SORTDOWN : HDF_SORTUP;
        Header_SetItem(header, static_cast<int>(i), &item);
    }
}

LRESULT CALLBACK PreviewWindow::Subclass(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                         UINT_PTR, DWORD_PTR self) {
    return reinterpret_cast<PreviewWindow*>(self)->HandleMessage(window, message, wParam, lParam);
}

LRESULT PreviewWindow::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_NOTIFY: {
            const auto& header = *reinterpret_cast<const NMHDR*>(lParam);
            if (header.hwndFrom != list_) break;
            if (header.code == LVN_GETDISPINFOW) {
                auto& info = reinterpret_cast<NMLVDISPINFOW&>(*reinterpret_cast<NMHDR*>(lParam));
                if ((info.item.mask & LVIF_TEXT) && info.item.cchTextMax > 0 &&
                    info.item.iItem >= 0 && info.item.iSubItem >= 0 &&
                    info.item.iSubItem < static_cast<int>(kPreviewColumnHeadings.size())) {
                    const std::wstring text =
                        Widen(form_.Cell(static_cast<std::size_t>(info.item.iItem),
                                         static_cast<PreviewColumn>(info.item.iSubItem)));
                    const std::size_t length =
                        std::min(text.size(), static_cast<std::size_t>(info.item.cchTextMax) - 1);
                    std::copy_n(text.c_str(), length, info.item.pszText);
                    info.item.pszText[length] = L'\0';
                }
                return 0;
            }
            if (header.code == LVN_COLUMNCLICK) {
                const int column = reinterpret_cast<const NMLISTVIEW&>(header).iSubItem;
                if (column >= 0 && column < static_cast<int>(kPreviewColumnHeadings.size()))
                    guarded_([&] { form_.SortBy(static_cast<PreviewColumn>(column)); });
                ShowColumns();
                return 0;
            }
            break;
        }
        case kDpiChangedMessage: {
            // The columns are made anew at the new scale.
            const LRESULT result = ::DefSubclassProc(window, message, wParam, lParam);
            ShowColumns();
            return result;
        }
        case WM_NCDESTROY:
            ::RemoveWindowSubclass(window, Subclass, kSubclassId);
            list_ = nullptr;
            break;
        default:
            break;
    }
    return ::DefSubclassProc(window, message, wParam, lParam);
}

}  // namespace ondrevan::win
