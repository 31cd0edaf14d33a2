#include "app/win/RunHistoryWindow_win.h"

#include <commctrl.h>
#include <oleacc.h>
#include <windowsx.h>

#include <algorithm>
#include <string>

#include "app/RunHistoryForm.h"
#include "controls/win/Accessible_win.h"
#include "controls/win/Dpi_win.h"
#include "platform/ValueForms.h"
#include "platform/win/Text_win.h"

namespace ondrevan::win {
namespace {

constexpr UINT_PTR kSubclassId = 0x5248;       // "RH"
constexpr UINT_PTR kChartSubclassId = 0x4348;  // "CH"

constexpr bool kRunNumbers[] = {false, false, true, true, true, true, true, true};
constexpr bool kFolderNumbers[] = {false, true, true, false};

void GiveText(NMLVDISPINFOW& info, const std::string& utf8) {
    if (!(info.item.mask & LVIF_TEXT) || info.item.cchTextMax <= 0) return;
    const std::wstring text = Widen(utf8);
    const std::size_t length =
        std::min(text.size(), static_cast<std::size_t>(info.item.cchTextMax) - 1);
    std::copy_n(text.c_str(), length, info.item.pszText);
    info.item.pszText[length] = L'\0';
}

void ClickableHeadings(HWND list) {
    ::SetWindowLongPtrW(list, GWL_STYLE,
                        ::GetWindowLongPtrW(list, GWL_STYLE) & ~LONG_PTR{LVS_NOSORTHEADER});
    if (HWND header = ListView_GetHeader(list))
        ::SetWindowLongPtrW(header, GWL_STYLE,
                            ::GetWindowLongPtrW(header, GWL_STYLE) | HDS_BUTTONS);
    ListView_SetExtendedListViewStyle(list,
                                      LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER | LVS_EX_LABELTIP);
}

}  // namespace

RunHistoryWindow::RunHistoryWindow(HINSTANCE instance, HWND owner, RunHistoryForm& form,
                                   std::function<void(const std::function<void()>&)> guarded)
    : form_(form),
      guarded_(guarded),
      tool_(instance, owner, form.Window, form.Controls(), std::move(guarded)) {}

RunHistoryWindow::~RunHistoryWindow() {
    if (chart_) ::RemoveWindowSubclass(chart_, ChartSubclass, kChartSubclassId);
    if (HWND window = tool_.Handle()) ::RemoveWindowSubclass(window, Subclass, kSubclassId);
}

bool RunHistoryWindow::Show() {
    const bool made = tool_.Handle() != nullptr;
    if (!tool_.Show()) return false;
    if (!made) {
        runs_ = tool_.WindowOf(form_.lvwRuns);
        folders_ = tool_.WindowOf(form_.lvwFolders);
        chart_ = tool_.WindowOf(form_.lblChart);
        ClickableHeadings(runs_);
        ClickableHeadings(folders_);
        // The chart takes the keyboard in its turn, between the span and the tables.
        ::SetWindowLongPtrW(chart_, GWL_STYLE, ::GetWindowLongPtrW(chart_, GWL_STYLE) | WS_TABSTOP);
        ::SetWindowSubclass(chart_, ChartSubclass, kChartSubclassId,
                            reinterpret_cast<DWORD_PTR>(this));
        ::SetWindowSubclass(tool_.Handle(), Subclass, kSubclassId,
                            reinterpret_cast<DWORD_PTR>(this));
    }
    const RunHistory* model = form_.Model();
    if (model) {
        ShowColumns(runs_, 8, static_cast<int>(model->RunSortColumn()), model->RunsDescending(),
                    kRunNumbers);
        ShowColumns(folders_, 4, -1, false, kFolderNumbers);
    }
    ::InvalidateRect(chart_, nullptr, TRUE);
    return true;
}

void RunHistoryWindow::ShowColumns(HWND list, int count, int sorted, bool descending,
                                   const bool* numbers) {
    if (!list) return;
    HWND header = ListView_GetHeader(list);
    for (int i = 0; i < count; ++i) {
        LVCOLUMNW format{};
        format.mask = LVCF_FMT;
        format.fmt = numbers[i] ? LVCFMT_RIGHT : LVCFMT_LEFT;
        ListView_SetColumn(list, i, &format);
        if (!header) continue;
        HDITEMW item{};
        item.mask = HDI_FORMAT;
        if (!Header_GetItem(header, i, &item)) continue;
        item.fmt &= ~(HDF_SORTUP | HDF_SORTDOWN);
        if (i == sorted) item.fmt |= descending ? HDF_SORTDOWN : HDF_SORTUP;
        Header_SetItem(header, i, &item);
    }
}

LRESULT CALLBACK RunHistoryWindow::Subclass(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                            UINT_PTR, DWORD_PTR self) {
    return reinterpret_cast<RunHistoryWindow*>(self)->HandleMessage(window, message, wParam,
                                                                    lParam);
}

LRESULT CALLBACK RunHistoryWindow::ChartSubclass(HWND window, UINT message, WPARAM wParam,
                                                 LPARAM lParam, UINT_PTR, DWORD_PTR self) {
    return reinterpret_cast<RunHistoryWindow*>(self)->HandleChart(window, message, wParam, lParam);
}

LRESULT RunHistoryWindow::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_NOTIFY: {
            const auto& header = *reinterpret_cast<const NMHDR*>(lParam);
            const RunHistory* model = form_.Model();
            if (!model || (header.hwndFrom != runs_ && header.hwndFrom != folders_)) break;
            const bool runs = header.hwndFrom == runs_;
            if (header.code == LVN_GETDISPINFOW) {
                auto& info = reinterpret_cast<NMLVDISPINFOW&>(*reinterpret_cast<NMHDR*>(lParam));
                const int row = info.item.iItem, column = info.item.iSubItem;
                if (row < 0 || column < 0) return 0;
                if (runs && static_cast<std::size_t>(row) < model->RunCount() && column < 8)
                    GiveText(info, model->RunCell(row, static_cast<RunColumn>(column)));
                if (!runs && static_cast<std::size_t>(row) < model->FolderCount() && column < 4)
                    GiveText(info, model->FolderCell(row, static_cast<FolderColumn>(column)));
                return 0;
            }
            if (header.code == LVN_COLUMNCLICK) {
                const int column = reinterpret_cast<const NMLISTVIEW&>(header).iSubItem;
                if (runs && column >= 0 && column < 8) {
                    guarded_([&] { form_.SortRunsBy(static_cast<RunColumn>(column)); });
                    ShowColumns(runs_, 8, column, model->RunsDescending(), kRunNumbers);
                } else if (!runs && column >= 0 && column < 4) {
                    guarded_([&] { form_.SortFoldersBy(static_cast<FolderColumn>(column)); });
                }
                ::InvalidateRect(header.hwndFrom, nullptr, FALSE);
                return 0;
            }
            if (runs && header.code == LVN_ITEMCHANGED) {
                const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
                if ((change.uChanged & LVIF_STATE) &&
                    ((change.uNewState ^ change.uOldState) & LVIS_SELECTED)) {
                    const int selected = ListView_GetNextItem(runs_, -1, LVNI_SELECTED);
                    guarded_([&] {
                        form_.RunSelected(selected < 0 ? std::nullopt
                                                       : std::optional<std::size_t>(selected));
                    });
                }
            }
            break;
        }
        case kDpiChangedMessage: {
            const LRESULT result = ::DefSubclassProc(window, message, wParam, lParam);
            if (const RunHistory* model = form_.Model()) {
                ShowColumns(runs_, 8, static_cast<int>(model->RunSortColumn()),
                            model->RunsDescending(), kRunNumbers);
                ShowColumns(folders_, 4, -1, false, kFolderNumbers);
            }
            ::InvalidateRect(chart_, nullptr, TRUE);
            return result;
        }
        case WM_NCDESTROY:
            ::RemoveWindowSubclass(window, Subclass, kSubclassId);
            runs_ = folders_ = nullptr;
            break;
        default:
            break;
    }
    return ::DefSubclassProc(window, message, wParam, lParam);
}

bool RunHistoryWindow::PointerInside(HWND window) {
    POINT point;
    RECT area;
    if (!::GetCursorPos(&point) || !::GetClientRect(window, &area)) return false;
    ::ScreenToClient(window, &point);
    return ::PtInRect(&area, point) != FALSE;
}

int RunHistoryWindow::BarAt(HWND window, int x) const {
    const RunHistory* model = form_.Model();
    if (!model || model->Bars().empty()) return -1;
    RECT area;
    ::GetClientRect(window, &area);
    const int count = static_cast<int>(model->Bars().size());
    const int slot = std::max(1, static_cast<int>(area.right - area.left) / count);
    const int bar = x / slot;
    return bar >= 0 && bar < count ? bar : -1;
}

void RunHistoryWindow::PointBar(int bar) {
    guarded_([&] { form_.BarPointed(bar < 0 ? std::nullopt : std::optional<std::size_t>(bar)); });
    ::InvalidateRect(chart_, nullptr, FALSE);
    // A screen reader hears the bar's day and amount, which the line above the chart says.
    if (HWND tip = tool_.WindowOf(form_.lblChartTip))
        ::NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, tip, OBJID_CLIENT, CHILDID_SELF);
}

LRESULT RunHistoryWindow::HandleChart(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const RunHistory* model = form_.Model();
    const int count = model ? static_cast<int>(model->Bars().size()) : 0;
    const auto pointed = form_.PointedBar();
    switch (message) {
        case WM_GETDLGCODE:
            return DLGC_WANTARROWS;
        case WM_KEYDOWN: {
            if (count == 0) break;
            int bar = pointed ? static_cast<int>(*pointed) : count - 1;
            switch (wParam) {
                case VK_LEFT:
                    bar = std::max(0, bar - 1);
                    break;
                case VK_RIGHT:
                    bar = std::min(count - 1, bar + 1);
                    break;
                case VK_HOME:
                    bar = 0;
                    break;
                case VK_END:
                    bar = count - 1;
                    break;
                default:
                    return ::DefSubclassProc(window, message, wParam, lParam);
            }
            PointBar(bar);
            return 0;
        }
        case WM_SETFOCUS:
            // The keyboard lands on the last bar, today's.
            if (!pointed && count > 0) PointBar(count - 1);
            ::InvalidateRect(window, nullptr, FALSE);
            return 0;
        case WM_KILLFOCUS:
            // The keyboard has gone: its bar is no longer said, unless the pointer is on one.
            if (!PointerInside(window)) PointBar(-1);
            ::InvalidateRect(window, nullptr, FALSE);
            return 0;
        case WM_MOUSEMOVE: {
            TRACKMOUSEEVENT leave{sizeof leave, TME_LEAVE, window, 0};
            ::TrackMouseEvent(&leave);
            const int bar = BarAt(window, GET_X_LPARAM(lParam));
            if (bar >= 0 && (!pointed || static_cast<int>(*pointed) != bar)) PointBar(bar);
            return 0;
        }
        case WM_MOUSELEAVE:
            // The pointer has gone: its bar is no longer said, unless the keyboard is on it.
            if (::GetFocus() != window) PointBar(-1);
            return 0;
        case WM_GETOBJECT: {
            // A chart, named by what it shows: the tables are its readable form.
            AccessibleFacts facts;
            facts.role = ROLE_SYSTEM_CHART;
            facts.name = Widen(model ? model->ChartName() : "");
            facts.hasName = true;
            if (LRESULT answer = AnswerGetObject(window, wParam, lParam, facts)) return answer;
            break;
        }
        case WM_LBUTTONDOWN:
            ::SetFocus(window);
            PointBar(BarAt(window, GET_X_LPARAM(lParam)));
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT: {
            PAINTSTRUCT paint;
            HDC dc = ::BeginPaint(window, &paint);
            if (dc) PaintChart(window, dc);
            ::EndPaint(window, &paint);
            return 0;
        }
        case WM_NCDESTROY:
            ::RemoveWindowSubclass(window, ChartSubclass, kChartSubclassId);
            chart_ = nullptr;
            break;
        default:
            break;
    }
    return ::DefSubclassProc(window, message, wParam, lParam);
}

void RunHistoryWindow::PaintChart(HWND window, HDC dc) {
    RECT area;
    ::GetClientRect(window, &area);
    // Drawn off screen, then copied: no flicker while the pointer moves.
    HDC memory = ::CreateCompatibleDC(dc);
    HBITMAP bitmap = ::CreateCompatibleBitmap(dc, area.right, area.bottom);
    if (!memory || !bitmap) {
        if (bitmap) ::DeleteObject(bitmap);
        if (memory) ::DeleteDC(memory);
        return;
    }
    HGDIOBJ oldBitmap = ::SelectObject(memory, bitmap);
    ::FillRect(memory, &area, ::GetSysColorBrush(COLOR_WINDOW));
    HFONT font = reinterpret_cast<HFONT>(::SendMessageW(window, WM_GETFONT, 0, 0));
    HGDIOBJ oldFont = font ? ::SelectObject(memory, font) : nullptr;
    ::SetBkMode(memory, TRANSPARENT);
    ::SetTextColor(memory, ::GetSysColor(COLOR_WINDOWTEXT));
    TEXTMETRICW metrics{};
    ::GetTextMetricsW(memory, &metrics);
    const int line = metrics.tmHeight > 0 ? metrics.tmHeight : 16;
    const RunHistory* model = form_.Model();
    const int count = model ? static_cast<int>(model->Bars().size()) : 0;
    const int margin = std::max(2, line / 4);
    const int baseline = area.bottom - line - margin;
    const int top = area.top + margin + line;
    if (count > 0 && baseline > top) {
        std::uint64_t most = 0;
        for (const ChartBar& bar : model->Bars()) most = std::max(most, bar.bytes);
        const int slot = std::max(1, static_cast<int>(area.right) / count);
        const int width = std::max(1, slot * 3 / 4);
        const auto pointed = form_.PointedBar();
        int labelEnd = -1;
        for (int i = 0; i < count; ++i) {
            const ChartBar& bar = model->Bars()[i];
            const int left = i * slot + (slot - width) / 2;
            const bool marked = pointed && static_cast<int>(*pointed) == i;
            if (marked) {
                RECT band{i * slot, area.top, (i + 1) * slot, area.bottom};
                ::FillRect(memory, &band, ::GetSysColorBrush(COLOR_BTNFACE));
            }
            if (bar.bytes > 0 && most > 0) {
                // A bar that freed anything is at least a pixel high.
                const int height = std::max<int>(
                    1, static_cast<int>((baseline - top) * static_cast<double>(bar.bytes) / most));
                RECT filled{left, baseline - height, left + width, baseline};
                ::FillRect(memory, &filled, ::GetSysColorBrush(COLOR_HIGHLIGHT));
                // The bar pointed at keeps its colour and is outlined in the text's: seen
                // on the band behind it in every scheme, high contrast too.
                if (marked) {
                    const int edge = std::max(1, line / 8);
                    RECT outline = filled;
                    ::InflateRect(&outline, edge, edge);
                    outline.bottom = baseline;
                    for (int k = 0; k < edge; ++k) {
                        ::FrameRect(memory, &outline, ::GetSysColorBrush(COLOR_WINDOWTEXT));
                        ::InflateRect(&outline, -1, -1);
                        outline.bottom = baseline;
                    }
                }
            }
            // Labels where they fit without touching the one before.
            const std::wstring label = Widen(bar.label);
            SIZE size{};
            ::GetTextExtentPoint32W(memory, label.c_str(), static_cast<int>(label.size()), &size);
            const int x = i * slot + (slot - size.cx) / 2;
            if (x > labelEnd + margin || marked) {
                ::TextOutW(memory, x, baseline + margin / 2, label.c_str(),
                           static_cast<int>(label.size()));
                labelEnd = x + size.cx;
            }
        }
        RECT axis{0, baseline, area.right, baseline + 1};
        ::FillRect(memory, &axis, ::GetSysColorBrush(COLOR_WINDOWTEXT));
        if (most > 0) {
            const std::wstring scale = Widen("Most: " + SizeText(most));
            ::TextOutW(memory, margin, area.top + margin / 2, scale.c_str(),
                       static_cast<int>(scale.size()));
        }
    }
    if (::GetFocus() == window) {
        RECT focus = area;
        ::InflateRect(&focus, -1, -1);
        ::DrawFocusRect(memory, &focus);
    }
    ::BitBlt(dc, 0, 0, area.right, area.bottom, memory, 0, 0, SRCCOPY);
    if (oldFont) ::SelectObject(memory, oldFont);
    ::SelectObject(memory, oldBitmap);
    ::DeleteObject(bitmap);
    ::DeleteDC(memory);
}

}  // namespace ondrevan::win
