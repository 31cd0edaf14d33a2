// The end-to-end suite's eyes: it finds what the screen shows and prints where it is, so a
// script can click there with xdotool. It reads windows and never drives them, except
// "close", which asks the main window to close as its close box would, and "drop", which
// hands it paths as Explorer does when they are dropped on it.
//
//   wait [S]                 0 once the main window is visible (1 after S seconds, 30)
//   close                    posts WM_CLOSE to the main window
//   form                     the main window
//   drop PATH...             drops those paths on the folder list, as a drag from Explorer
//   control NAME             a control of the main window, by its name in the layout
//   items                    the list view's item count, then its items, a line each
//   dialog TITLE [S]         a visible dialog box with that title (waits up to S seconds)
//   button TITLE TEXT [S]    a control of that dialog whose text, without '&', is TEXT
//   tree TITLE ITEM [S]      a visible item of that dialog's folder tree ("" lists them)
//   tray [S]                 the icon in Wine's own notification area
//   tray-icons               how many icons Wine's notification area shows
//   windows CLASS            how many top-level windows of that class there are, shown or not
//   top TITLE [S]            any visible top-level window with that title
//   class NAME [S]           any visible top-level window of that class (a balloon's tip)
//   caption-button minimize|close   that box of the main window's title bar
//   title-spot TITLE         a point of that window's title bar no other window covers
//   foreground               the window that has the keyboard focus's top level
//   window-focus TITLE       the control with the keyboard in the window with that title
//   rows TITLE [N]           the rows of that window's list view (its N+1th), cells between
//                            tabs
//   heading TITLE TEXT       the heading of that window's list view that reads TEXT
//   clipboard                the text on the clipboard, as it is
//   geometry TITLE           a visible window with that title ("form": the main one), its
//                            client area and its monitor's work area, then every visible
//                            child, a line each: "KIND left top right bottom class text"
//   accessible TITLE [CLASS] what a screen reader hears of each visible control of that
//                            window (of that class only, when named; each answer crosses
//                            to the program and back), a line each: "ROLE left top right
//                            bottom name"
//   tips                     the text of every tool of every tool-tip window (the tray's tip)
//
// A found window prints one line: "x=.. y=.. (its centre) left=.. top=.. right=.. bottom=..
// visible=. enabled=. checked=. iconic=. class=.. text=..." in screen pixels, text last. Exit code
// 1: not found in time.
#include <windows.h>

#include <commctrl.h>
#include <fcntl.h>
#include <io.h>
#include <oleacc.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <functional>
#include <string>

#include "RemoteMemory_win.h"
#include "app/Layout.h"
#include "platform/win/Text_win.h"

namespace {

using ondrevan::win::Narrow;

constexpr wchar_t kFormClass[] = L"OndrevanForm1";
constexpr wchar_t kDialogClass[] = L"#32770";

void PrintLine(const std::string& line) {
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
}

// Every question to another program's window gives up after a while: a program busy starting
// must not hang the probe, which is asked again a moment later.
LRESULT Ask(HWND window, UINT message, WPARAM w, LPARAM l) {
    DWORD_PTR result = 0;
    return ::SendMessageTimeoutW(window, message, w, l, SMTO_ABORTIFHUNG, 5000, &result)
               ? static_cast<LRESULT>(result)
               : 0;
}

std::wstring TextOf(HWND window) {
    wchar_t buffer[4096] = L"";
    ::SendMessageTimeoutW(window, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(buffer),
                          SMTO_ABORTIFHUNG, 2000, nullptr);
    return buffer;
}

std::wstring WithoutAccelerators(std::wstring text) {
    std::wstring plain;
    for (wchar_t c : text)
        if (c != L'&') plain += c;
    return plain;
}

std::wstring ClassOf(HWND window) {
    wchar_t name[128] = L"";
    ::GetClassNameW(window, name, 128);
    return name;
}

void PrintRect(const RECT& r, HWND window, const std::wstring& text) {
    char line[512];
    std::snprintf(line, sizeof line,
                  "x=%ld y=%ld left=%ld top=%ld right=%ld bottom=%ld visible=%d enabled=%d "
                  "checked=%d iconic=%d class=%s text=",
                  (r.left + r.right) / 2, (r.top + r.bottom) / 2, r.left, r.top, r.right, r.bottom,
                  ::IsWindowVisible(window) ? 1 : 0, ::IsWindowEnabled(window) ? 1 : 0,
                  static_cast<int>(Ask(window, BM_GETCHECK, 0, 0)), ::IsIconic(window) ? 1 : 0,
                  Narrow(ClassOf(window)).c_str());
    PrintLine(line + Narrow(text));
}

void PrintWindow(HWND window) {
    RECT r{};
    ::GetWindowRect(window, &r);
    PrintRect(r, window, TextOf(window));
}

// Asks again every 100 ms until the lookup finds something or the time is up.
HWND WaitFor(int seconds, const std::function<HWND()>& find) {
    for (int i = 0;; ++i) {
        if (HWND found = find()) return found;
        if (i >= seconds * 10) return nullptr;
        ::Sleep(100);
    }
}

HWND VisibleTopLevel(const wchar_t* className, const std::wstring& title) {
    HWND window = nullptr;
    while ((window = ::FindWindowExW(nullptr, window, className, title.c_str())))
        if (::IsWindowVisible(window)) return window;
    return nullptr;
}

HWND FindDescendant(HWND parent, const std::function<bool(HWND)>& match) {
    struct Search {
        const std::function<bool(HWND)>* match;
        HWND found;
    } search{&match, nullptr};
    ::EnumChildWindows(
        parent,
        [](HWND child, LPARAM data) -> BOOL {
            auto* s = reinterpret_cast<Search*>(data);
            if (!(*s->match)(child)) return TRUE;
            s->found = child;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool HasClass(HWND window, const wchar_t* name) {
    return _wcsicmp(ClassOf(window).c_str(), name) == 0;
}

// One cell of a list view, read through memory of the list's own process.
constexpr int kCellChars = 1024;
std::wstring CellText(HWND list, const ondrevan::probe::RemoteMemory& remote, int row, int column) {
    LVITEMW item{};
    item.iSubItem = column;
    item.cchTextMax = kCellChars;
    item.pszText =
        reinterpret_cast<wchar_t*>(static_cast<char*>(remote.Address()) + sizeof(LVITEMW));
    remote.Write(&item, sizeof item);
    const auto length =
        Ask(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(remote.Address()));
    std::wstring value(static_cast<std::size_t>(length), L'\0');
    remote.Read(value.data(), value.size() * sizeof(wchar_t), sizeof(LVITEMW));
    return value;
}

int Items() {
    HWND form = ::FindWindowW(kFormClass, nullptr);
    HWND list = form ? ::GetDlgItem(form, 1000 + 6) : nullptr;  // ListView1's row
    if (!list) return 1;
    const int count = static_cast<int>(Ask(list, LVM_GETITEMCOUNT, 0, 0));
    PrintLine(std::to_string(count));
    ondrevan::probe::RemoteMemory remote(list, sizeof(LVITEMW) + kCellChars * sizeof(wchar_t));
    if (!remote) return 1;
    for (int i = 0; i < count; ++i) PrintLine(Narrow(CellText(list, remote, i, 0)));
    return 0;
}

// The first visible item of the dialog's tree whose label is itemText, and its rectangle.
bool FindTreeItem(HWND tree, const std::wstring& itemText, RECT& rect) {
    constexpr int kChars = 260;
    ondrevan::probe::RemoteMemory remote(tree, sizeof(TVITEMW) + kChars * sizeof(wchar_t));
    if (!remote) return false;
    auto* text = reinterpret_cast<wchar_t*>(static_cast<char*>(remote.Address()) + sizeof(TVITEMW));
    auto item = reinterpret_cast<HTREEITEM>(Ask(tree, TVM_GETNEXTITEM, TVGN_FIRSTVISIBLE, 0));
    for (; item; item = reinterpret_cast<HTREEITEM>(Ask(tree, TVM_GETNEXTITEM, TVGN_NEXTVISIBLE,
                                                        reinterpret_cast<LPARAM>(item)))) {
        TVITEMW query{};
        query.mask = TVIF_TEXT;
        query.hItem = item;
        query.pszText = text;
        query.cchTextMax = kChars;
        remote.Write(&query, sizeof query);
        Ask(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(remote.Address()));
        wchar_t label[kChars] = L"";
        remote.Read(label, sizeof label - sizeof(wchar_t), sizeof(TVITEMW));
        // Wine labels a drive " (C:)": compare without the blanks around.
        std::wstring trimmed = label;
        trimmed.erase(0, trimmed.find_first_not_of(L' '));
        trimmed.erase(trimmed.find_last_not_of(L' ') + 1);
        if (itemText.empty()) PrintLine(Narrow(trimmed));  // lists them all
        if (itemText != trimmed) continue;
        // TVM_GETITEMRECT takes the item in the RECT it fills.
        RECT r{};
        std::memcpy(&r, &item, sizeof item);
        remote.Write(&r, sizeof r);
        if (!Ask(tree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(remote.Address())))
            return false;
        remote.Read(&r, sizeof r);
        ::MapWindowPoints(tree, nullptr, reinterpret_cast<POINT*>(&r), 2);
        rect = r;
        return true;
    }
    return false;
}

// The list view of a top-level window with that title.
// The window's first list view, or the one after `skip` others.
HWND ListIn(const std::wstring& title, int skip = 0) {
    HWND window = VisibleTopLevel(nullptr, title);
    return window
               ? FindDescendant(
                     window, [&skip](HWND c) { return HasClass(c, WC_LISTVIEWW) && skip-- == 0; })
               : nullptr;
}

int Rows(HWND list) {
    if (!list) return 1;
    HWND header = reinterpret_cast<HWND>(Ask(list, LVM_GETHEADER, 0, 0));
    const int columns = header ? static_cast<int>(Ask(header, HDM_GETITEMCOUNT, 0, 0)) : 1;
    const int count = static_cast<int>(Ask(list, LVM_GETITEMCOUNT, 0, 0));
    ondrevan::probe::RemoteMemory remote(list, sizeof(LVITEMW) + kCellChars * sizeof(wchar_t));
    if (!remote) return 1;
    for (int i = 0; i < count; ++i) {
        std::wstring line;
        for (int column = 0; column < columns; ++column)
            line += (column ? L"\t" : L"") + CellText(list, remote, i, column);
        PrintLine(Narrow(line));
    }
    return 0;
}

int Heading(HWND list, const std::wstring& wanted) {
    HWND header = list ? reinterpret_cast<HWND>(Ask(list, LVM_GETHEADER, 0, 0)) : nullptr;
    if (!header) return 1;
    constexpr int kChars = 128;
    ondrevan::probe::RemoteMemory remote(header, sizeof(HDITEMW) + kChars * sizeof(wchar_t));
    if (!remote) return 1;
    auto* text = reinterpret_cast<wchar_t*>(static_cast<char*>(remote.Address()) + sizeof(HDITEMW));
    const int columns = static_cast<int>(Ask(header, HDM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < columns; ++i) {
        HDITEMW item{};
        item.mask = HDI_TEXT;
        item.pszText = text;
        item.cchTextMax = kChars;
        remote.Write(&item, sizeof item);
        Ask(header, HDM_GETITEMW, i, reinterpret_cast<LPARAM>(remote.Address()));
        wchar_t label[kChars] = L"";
        remote.Read(label, sizeof label - sizeof(wchar_t), sizeof(HDITEMW));
        if (wanted != label) continue;
        RECT r{};
        remote.Write(&r, sizeof r);
        Ask(header, HDM_GETITEMRECT, i, reinterpret_cast<LPARAM>(remote.Address()));
        remote.Read(&r, sizeof r);
        ::MapWindowPoints(header, nullptr, reinterpret_cast<POINT*>(&r), 2);
        PrintRect(r, header, label);
        return 0;
    }
    return 1;
}

int ClipboardText() {
    if (!::OpenClipboard(nullptr)) return 1;
    std::wstring text;
    if (HANDLE data = ::GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* chars = static_cast<const wchar_t*>(::GlobalLock(data))) {
            text = chars;
            ::GlobalUnlock(data);
        }
    }
    ::CloseClipboard();
    const std::string bytes = Narrow(text);
    _setmode(_fileno(stdout), _O_BINARY);  // the line ends as they are
    std::fwrite(bytes.data(), 1, bytes.size(), stdout);
    return 0;
}

int Found(HWND window) {
    if (!window) return 1;
    PrintWindow(window);
    return 0;
}

int Seconds(int argc, wchar_t** argv, int index, int fallback) {
    return argc > index ? _wtoi(argv[index]) : fallback;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) return 2;
    const std::wstring command = argv[1];
    if (command == L"wait") {
        HWND form = WaitFor(Seconds(argc, argv, 2, 30), [] {
            HWND window = ::FindWindowW(kFormClass, nullptr);
            return window && ::IsWindowVisible(window) ? window : nullptr;
        });
        return form ? 0 : 1;
    }
    if (command == L"close") {
        HWND form = ::FindWindowW(kFormClass, nullptr);
        return form && ::PostMessageW(form, WM_CLOSE, 0, 0) ? 0 : 1;
    }
    if (command == L"form") return Found(::FindWindowW(kFormClass, nullptr));
    if (command == L"run-line" && argc > 2) {
        // A command line as a deployment tool runs a registered one: as it stands, waiting for
        // that process alone. Prints its exit code.
        std::wstring line = argv[2];
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process{};
        if (!::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                              &startup, &process))
            return 1;
        ::WaitForSingleObject(process.hProcess, INFINITE);
        DWORD code = 0;
        ::GetExitCodeProcess(process.hProcess, &code);
        ::CloseHandle(process.hThread);
        ::CloseHandle(process.hProcess);
        PrintLine(std::to_string(code));
        return 0;
    }
    if (command == L"settled") {
        // Three round trips through the main window's thread: a message already posted to it
        // (a hot key, a key it has read) has been handled by the time the last one returns,
        // or it opened a window that is up by then.
        HWND form = ::FindWindowW(kFormClass, nullptr);
        DWORD_PTR result = 0;
        for (int i = 0; i < 3; ++i)
            if (!form || !::SendMessageTimeoutW(form, WM_NULL, 0, 0, SMTO_NORMAL, 30000, &result))
                return 1;
        return 0;
    }
    if (command == L"button-down") {  // whether the left mouse button is down, as Wine saw it
        PrintLine((::GetAsyncKeyState(VK_LBUTTON) & 0x8000) ? "1" : "0");
        return 0;
    }
    if (command == L"thread-active") {  // the active window of the main window's thread
        HWND form = ::FindWindowW(kFormClass, nullptr);
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        if (!form || !::GetGUIThreadInfo(::GetWindowThreadProcessId(form, nullptr), &info))
            return 1;
        PrintLine(info.hwndActive ? Narrow(ClassOf(info.hwndActive)) : "");
        return 0;
    }
    if (command == L"close-top" && argc > 2) {  // asks every window with that title to close
        HWND window = nullptr;
        while ((window = ::FindWindowExW(nullptr, window, nullptr, argv[2]))) {
            if (!::IsWindowVisible(window) || window == ::FindWindowW(kFormClass, nullptr))
                continue;
            if (HasClass(window, kDialogClass)) {
                ::PostMessageW(window, WM_COMMAND, IDNO, 0);
                ::PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
                ::PostMessageW(window, WM_COMMAND, IDOK, 0);
            } else {
                ::PostMessageW(window, WM_CLOSE, 0, 0);
            }
        }
        return 0;
    }
    if (command == L"policy-changed") {  // what Group Policy broadcasts after applying
        DWORD_PTR result = 0;
        return ::SendMessageTimeoutW(HWND_BROADCAST, WM_SETTINGCHANGE, 0,
                                     reinterpret_cast<LPARAM>(L"Policy"), SMTO_ABORTIFHUNG, 5000,
                                     &result)
                   ? 0
                   : 1;
    }
    if (command == L"focused") {  // the control of the main window that has the keyboard
        HWND form = ::FindWindowW(kFormClass, nullptr);
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        if (!form || !::GetGUIThreadInfo(::GetWindowThreadProcessId(form, nullptr), &info))
            return 1;
        // A combo box's or a picker's inner window: the control is the nearest numbered one.
        for (HWND w = info.hwndFocus; w && w != form; w = ::GetParent(w)) {
            const int index = ::GetDlgCtrlID(w) - 1000;
            if (index >= 0 && index < static_cast<int>(ondrevan::kLayout.size())) {
                PrintLine(ondrevan::kLayout[static_cast<std::size_t>(index)].name);
                return 0;
            }
        }
        PrintLine("");
        return 0;
    }
    if (command == L"control" && argc > 2) {
        HWND form = ::FindWindowW(kFormClass, nullptr);
        const std::string name = Narrow(argv[2]);
        const ondrevan::LayoutEntry* entry = ondrevan::FindLayout(name.c_str());
        if (!form || !entry) return 1;
        // Controls in a frame are the frame's children: search the whole tree for the id.
        const int id = 1000 + static_cast<int>(entry - ondrevan::kLayout.data());
        HWND control = FindDescendant(form, [id](HWND c) { return ::GetDlgCtrlID(c) == id; });
        if (!control) return 1;
        // The caption as it reads, without the mark of its access key.
        RECT r{};
        ::GetWindowRect(control, &r);
        PrintRect(r, control, WithoutAccelerators(TextOf(control)));
        return 0;
    }
    if (command == L"items") return Items();
    if (command == L"drop" && argc > 2) {
        // A DROPFILES block in the program's own memory, as the shell makes one: the header,
        // then each path and a NUL, then one more NUL. The program frees it (DragFinish).
        HWND form = ::FindWindowW(kFormClass, nullptr);
        HWND list =
            form ? FindDescendant(form, [](HWND c) { return HasClass(c, WC_LISTVIEWW); }) : nullptr;
        if (!list) return 1;
        std::wstring paths;
        for (int i = 2; i < argc; ++i) paths += std::wstring(argv[i]) + L'\0';
        paths += L'\0';
        RECT area{};
        ::GetWindowRect(list, &area);
        POINT at{(area.left + area.right) / 2, (area.top + area.bottom) / 2};
        ::ScreenToClient(form, &at);
        DROPFILES header{};
        header.pFiles = sizeof header;
        header.pt = at;
        header.fWide = TRUE;
        const std::size_t bytes = sizeof header + paths.size() * sizeof(wchar_t);
        ondrevan::probe::RemoteMemory remote(form, bytes);
        if (!remote || !remote.Write(&header, sizeof header) ||
            !remote.Write(paths.data(), paths.size() * sizeof(wchar_t), sizeof header))
            return 1;
        if (!::PostMessageW(form, WM_DROPFILES, reinterpret_cast<WPARAM>(remote.Address()), 0))
            return 1;
        remote.HandOver();
        return 0;
    }
    if (command == L"dialog" && argc > 2) {
        const std::wstring title = argv[2];
        return Found(WaitFor(Seconds(argc, argv, 3, 10),
                             [&] { return VisibleTopLevel(kDialogClass, title); }));
    }
    if (command == L"dialogs" && argc > 2) {  // how many boxes with that title are up
        int count = 0;
        HWND window = nullptr;
        while ((window = ::FindWindowExW(nullptr, window, kDialogClass, argv[2])))
            count += ::IsWindowVisible(window) ? 1 : 0;
        PrintLine(std::to_string(count));
        return 0;
    }
    if (command == L"windows" && argc > 2) {
        int count = 0;
        HWND window = nullptr;
        while ((window = ::FindWindowExW(nullptr, window, argv[2], nullptr))) ++count;
        PrintLine(std::to_string(count));
        return 0;
    }
    if (command == L"tray-icons") {
        int count = 0;
        if (HWND tray = ::FindWindowW(L"__winex11_standalone_tray", nullptr))
            FindDescendant(tray, [&](HWND child) {
                count += ::IsWindowVisible(child) ? 1 : 0;
                return false;
            });
        PrintLine(std::to_string(count));
        return 0;
    }
    if (command == L"dialog-texts" && argc > 2) {  // what every box with that title says
        HWND window = nullptr;
        while ((window = ::FindWindowExW(nullptr, window, kDialogClass, argv[2]))) {
            if (!::IsWindowVisible(window)) continue;
            FindDescendant(window, [](HWND child) {
                if (HasClass(child, L"Static")) PrintLine(Narrow(TextOf(child)));
                return false;
            });
        }
        return 0;
    }
    if (command == L"window-text" && argc > 2) {  // the edit boxes of a window with that title
        HWND window =
            WaitFor(Seconds(argc, argv, 3, 10), [&] { return VisibleTopLevel(nullptr, argv[2]); });
        if (!window) return 1;
        FindDescendant(window, [](HWND child) {
            if (HasClass(child, L"Edit")) PrintLine(Narrow(TextOf(child)));
            return false;
        });
        return 0;
    }
    if (command == L"window-labels" && argc > 2) {  // the labels of a window with that title
        HWND window = VisibleTopLevel(nullptr, argv[2]);
        if (!window) return 1;
        FindDescendant(window, [](HWND child) {
            if (HasClass(child, L"Static")) PrintLine(Narrow(TextOf(child)));
            return false;
        });
        return 0;
    }
    if (command == L"accessible" && argc > 2) {
        HWND window = VisibleTopLevel(nullptr, argv[2]);
        if (!window) return 1;
        ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        const std::wstring only = argc > 3 ? argv[3] : L"";
        FindDescendant(window, [&only](HWND child) {
            if (!::IsWindowVisible(child) || (!only.empty() && !HasClass(child, only.c_str())))
                return false;
            IAccessible* object = nullptr;
            if (FAILED(::AccessibleObjectFromWindow(child, static_cast<DWORD>(OBJID_CLIENT),
                                                    __uuidof(IAccessible),
                                                    reinterpret_cast<void**>(&object))) ||
                !object)
                return false;
            VARIANT self;
            ::VariantInit(&self);
            self.vt = VT_I4;
            self.lVal = CHILDID_SELF;
            VARIANT role;
            ::VariantInit(&role);
            BSTR name = nullptr;
            const long roleId =
                SUCCEEDED(object->get_accRole(self, &role)) && role.vt == VT_I4 ? role.lVal : 0;
            std::string text;
            if (SUCCEEDED(object->get_accName(self, &name)) && name) text = Narrow(name);
            ::SysFreeString(name);
            object->Release();
            RECT r{};
            ::GetWindowRect(child, &r);
            char line[128];
            std::snprintf(line, sizeof line, "%ld %ld %ld %ld %ld ", roleId, r.left, r.top, r.right,
                          r.bottom);
            PrintLine(line + text);
            return false;
        });
        return 0;
    }
    if (command == L"top" && argc > 2) {
        const std::wstring title = argv[2];
        return Found(
            WaitFor(Seconds(argc, argv, 3, 10), [&] { return VisibleTopLevel(nullptr, title); }));
    }
    if (command == L"class" && argc > 2) {
        const std::wstring name = argv[2];
        return Found(WaitFor(Seconds(argc, argv, 3, 10), [&]() -> HWND {
            HWND window = nullptr;
            while ((window = ::FindWindowExW(nullptr, window, name.c_str(), nullptr)))
                if (::IsWindowVisible(window)) return window;
            return nullptr;
        }));
    }
    if (command == L"button" && argc > 3) {
        const std::wstring title = argv[2];
        const std::wstring text = argv[3];
        return Found(WaitFor(Seconds(argc, argv, 4, 10), [&]() -> HWND {
            HWND dialog = VisibleTopLevel(kDialogClass, title);
            if (!dialog) return nullptr;
            return FindDescendant(dialog, [&](HWND child) {
                return ::IsWindowVisible(child) && WithoutAccelerators(TextOf(child)) == text;
            });
        }));
    }
    if (command == L"window-child" && argc > 3) {  // a child of that class (and text) in a window
        const std::wstring title = argv[2];
        const std::wstring className = argv[3];
        const std::wstring text = argc > 4 ? argv[4] : L"";
        HWND window = VisibleTopLevel(nullptr, title);
        if (!window) return 1;
        return Found(FindDescendant(window, [&](HWND child) {
            return ::IsWindowVisible(child) && HasClass(child, className.c_str()) &&
                   (text.empty() || WithoutAccelerators(TextOf(child)) == text);
        }));
    }
    if (command == L"tree" && argc > 3) {
        const std::wstring title = argv[2];
        const std::wstring label = argv[3];
        RECT rect{};
        HWND tree = WaitFor(label.empty() ? 0 : Seconds(argc, argv, 4, 10), [&]() -> HWND {
            HWND dialog = VisibleTopLevel(kDialogClass, title);
            HWND found =
                dialog ? FindDescendant(dialog, [](HWND c) { return HasClass(c, WC_TREEVIEWW); })
                       : nullptr;
            return found && FindTreeItem(found, label, rect) ? found : nullptr;
        });
        if (!tree) return 1;
        PrintRect(rect, tree, label);
        return 0;
    }
    if (command == L"tray") {
        // A display without a notification area gets Wine's own tray window, in which each
        // icon is a child window; there is no other icon in the test's Wine world.
        return Found(WaitFor(Seconds(argc, argv, 2, 10), []() -> HWND {
            HWND tray = ::FindWindowW(L"__winex11_standalone_tray", nullptr);
            return tray && ::IsWindowVisible(tray)
                       ? FindDescendant(tray, [](HWND c) { return ::IsWindowVisible(c) != 0; })
                       : nullptr;
        }));
    }
    if (command == L"caption-button" && argc > 2) {
        // The minimize or close box of the main window's title bar: found by asking the window
        // what lies under each point of its title bar, as the mouse would.
        HWND form = ::FindWindowW(kFormClass, nullptr);
        TITLEBARINFO info{};
        info.cbSize = sizeof info;
        if (!form || !::GetTitleBarInfo(form, &info)) return 1;
        const std::wstring which = argv[2];
        const LRESULT wanted = which == L"minimize" ? HTMINBUTTON : HTCLOSE;
        const long y = (info.rcTitleBar.top + info.rcTitleBar.bottom) / 2;
        RECT box{-1, info.rcTitleBar.top, -1, info.rcTitleBar.bottom};
        for (long x = info.rcTitleBar.left; x < info.rcTitleBar.right; ++x) {
            DWORD_PTR hit = 0;
            ::SendMessageTimeoutW(form, WM_NCHITTEST, 0, MAKELPARAM(x, y), SMTO_ABORTIFHUNG, 2000,
                                  &hit);
            if (static_cast<LRESULT>(hit) != wanted) continue;
            if (box.left < 0) box.left = x;
            box.right = x + 1;
        }
        if (box.left < 0) return 1;
        PrintRect(box, form, which);
        return 0;
    }
    if (command == L"title-spot" && argc > 2) {
        // A point of that window's title bar that no other window covers, for a click that
        // must land on it and nowhere else.
        HWND window = VisibleTopLevel(nullptr, argv[2]);
        TITLEBARINFO info{};
        info.cbSize = sizeof info;
        if (!window || !::GetTitleBarInfo(window, &info)) return 1;
        const long y = (info.rcTitleBar.top + info.rcTitleBar.bottom) / 2;
        for (long x = info.rcTitleBar.left + 40; x < info.rcTitleBar.right - 120; x += 8) {
            DWORD_PTR hit = 0;
            if (::GetAncestor(::WindowFromPoint(POINT{x, y}), GA_ROOT) != window ||
                !::SendMessageTimeoutW(window, WM_NCHITTEST, 0, MAKELPARAM(x, y), SMTO_ABORTIFHUNG,
                                       2000, &hit) ||
                static_cast<LRESULT>(hit) != HTCAPTION)
                continue;
            PrintRect(RECT{x, y, x + 1, y + 1}, window, L"title");
            return 0;
        }
        return 1;
    }
    if (command == L"geometry" && argc > 2) {
        const std::wstring title = argv[2];
        HWND window =
            title == L"form" ? ::FindWindowW(kFormClass, nullptr) : VisibleTopLevel(nullptr, title);
        if (!window || !::IsWindowVisible(window)) return 1;
        const auto line = [](const char* kind, const RECT& r, HWND of) {
            char text[128];
            std::snprintf(text, sizeof text, "%s %ld %ld %ld %ld ", kind, r.left, r.top, r.right,
                          r.bottom);
            PrintLine(text + (of ? Narrow(ClassOf(of)) + " " + Narrow(TextOf(of)) : "-"));
        };
        RECT rect{};
        ::GetWindowRect(window, &rect);
        line("window", rect, window);
        ::GetClientRect(window, &rect);
        ::MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&rect), 2);
        line("client", rect, nullptr);
        MONITORINFO monitor{};
        monitor.cbSize = sizeof monitor;
        ::GetMonitorInfoW(::MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor);
        line("work", monitor.rcWork, nullptr);
        FindDescendant(window, [&](HWND child) {
            // A combo box's own rectangle holds its drop-down list; what shows is its field.
            if (::IsWindowVisible(child) && !HasClass(::GetParent(child), WC_COMBOBOXW)) {
                ::GetWindowRect(child, &rect);
                if (HasClass(child, WC_COMBOBOXW)) {
                    // Asked with memory of the program's own: Wine's GetComboBoxInfo hands
                    // another process this probe's address, and the program writes there.
                    COMBOBOXINFO info{};
                    info.cbSize = sizeof info;
                    ondrevan::probe::RemoteMemory remote(child, sizeof info);
                    if (remote && remote.Write(&info, sizeof info) &&
                        Ask(child, CB_GETCOMBOBOXINFO, 0,
                            reinterpret_cast<LPARAM>(remote.Address())) &&
                        remote.Read(&info, sizeof info)) {
                        RECT field = info.rcButton;
                        ::MapWindowPoints(child, nullptr, reinterpret_cast<POINT*>(&field), 2);
                        rect.bottom = std::max(field.bottom, rect.top + 1);
                    }
                }
                line("child", rect, child);
            }
            return false;
        });
        return 0;
    }
    if (command == L"tips") {
        HWND tips = nullptr;
        while ((tips = ::FindWindowExW(nullptr, tips, TOOLTIPS_CLASSW, nullptr))) {
            const int count = static_cast<int>(Ask(tips, TTM_GETTOOLCOUNT, 0, 0));
            constexpr int kChars = 1024;
            ondrevan::probe::RemoteMemory remote(tips,
                                                 sizeof(TTTOOLINFOW) + kChars * sizeof(wchar_t));
            if (!remote) continue;
            for (int i = 0; i < count; ++i) {
                TTTOOLINFOW tool{};
                tool.cbSize = sizeof tool;
                tool.lpszText = reinterpret_cast<wchar_t*>(static_cast<char*>(remote.Address()) +
                                                           sizeof(TTTOOLINFOW));
                wchar_t none[1] = L"";
                remote.Write(none, sizeof none, sizeof(TTTOOLINFOW));
                remote.Write(&tool, sizeof tool);
                if (!Ask(tips, TTM_ENUMTOOLSW, static_cast<WPARAM>(i),
                         reinterpret_cast<LPARAM>(remote.Address())))
                    continue;
                wchar_t text[kChars] = L"";
                remote.Read(text, sizeof text - sizeof(wchar_t), sizeof(TTTOOLINFOW));
                // One line each: a line break in a tip is written as "\n".
                std::wstring flat;
                for (const wchar_t* c = text; *c; ++c)
                    flat += *c == L'\n' ? std::wstring(L"\\n") : std::wstring(1, *c);
                PrintLine(Narrow(flat));
            }
        }
        return 0;
    }
    if (command == L"foreground") return Found(::GetForegroundWindow());
    if (command == L"scene") {
        // What a person would see when a step gives up: the windows shown, front first, who
        // has the keyboard and the mouse, and what lies under the pointer.
        const auto say = [](const char* what, HWND window) {
            if (!window) return PrintLine(std::string(what) + " none");
            RECT r{};
            ::GetWindowRect(window, &r);
            char line[160];
            std::snprintf(line, sizeof line, "%s %p %s [%ld %ld %ld %ld]%s%s ", what,
                          static_cast<void*>(window), Narrow(ClassOf(window)).c_str(), r.left,
                          r.top, r.right, r.bottom, ::IsWindowEnabled(window) ? "" : " disabled",
                          ::IsWindowVisible(window) ? "" : " hidden");
            PrintLine(line + Narrow(TextOf(window)));
        };
        for (HWND window = ::GetTopWindow(nullptr); window;
             window = ::GetWindow(window, GW_HWNDNEXT))
            if (::IsWindowVisible(window)) say("top", window);
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        HWND front = ::GetForegroundWindow();
        say("foreground", front);
        if (front && ::GetGUIThreadInfo(::GetWindowThreadProcessId(front, nullptr), &info)) {
            say("focus", info.hwndFocus);
            say("capture", info.hwndCapture);
            say("menu-owner", info.hwndMenuOwner);
        }
        POINT pointer{};
        ::GetCursorPos(&pointer);
        say("pointer-over", ::WindowFromPoint(pointer));
        return 0;
    }
    if (command == L"rows" && argc > 2)
        return Rows(ListIn(argv[2], argc > 3 ? std::wcstol(argv[3], nullptr, 10) : 0));
    if (command == L"heading" && argc > 3) return Heading(ListIn(argv[2]), argv[3]);
    if (command == L"clipboard") return ClipboardText();
    if (command == L"dialog-focus" && argc > 2) {  // the control of a box that has the keyboard
        HWND window = VisibleTopLevel(kDialogClass, argv[2]);
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        if (!window || !::GetGUIThreadInfo(::GetWindowThreadProcessId(window, nullptr), &info) ||
            !info.hwndFocus || !::IsChild(window, info.hwndFocus))
            return 1;
        return Found(info.hwndFocus);
    }
    if (command == L"window-focus" && argc > 2) {
        HWND window = VisibleTopLevel(nullptr, argv[2]);
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        if (!window || !::GetGUIThreadInfo(::GetWindowThreadProcessId(window, nullptr), &info) ||
            !info.hwndFocus || !::IsChild(window, info.hwndFocus))
            return 1;
        return Found(info.hwndFocus);
    }
    return 2;
}
