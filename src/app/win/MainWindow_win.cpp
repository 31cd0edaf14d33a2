#include "app/win/MainWindow_win.h"

#include "platform/win/ResourceIds.h"

#include <exception>
#include <utility>

#include "app/Form1.h"
#include "app/win/StartupStages_win.h"
#include "controls/win/CustomControls_win.h"
#include "controls/win/Dpi_win.h"
#include "platform/AppError.h"
#include "platform/win/Text_win.h"

#include <shellapi.h>
#include "platform/win/KeyboardHook_win.h"
#include "platform/win/SingleCopy_win.h"

namespace ondrevan::win {

MainWindow::MainWindow(HINSTANCE instance, Form1& form, Dialogs& dialogs)
    : instance_(instance), form_(form), dialogs_(dialogs), controls_(instance) {}

MainWindow::~MainWindow() {
    form_.Window.SetSink(nullptr);
    for (Control* control : form_.Controls()) control->SetSink(nullptr);
}

bool MainWindow::Create() {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_DBLCLKS;
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance_;
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hIcon = ::LoadIconW(instance_, MAKEINTRESOURCEW(kProgramIconId));
    windowClass.lpszClassName = kMainWindowClass;
    if (!::RegisterClassExW(&windowClass) && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        return false;

    constexpr DWORD style =
        WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
    // Folders may be dropped on the list (and anywhere on the window, which means the list).
    // The style is what accepting dropped files sets, without loading the shell for it.
    constexpr DWORD exStyle = WS_EX_CONTROLPARENT | WS_EX_ACCEPTFILES;
    // The menu bar, made with the window (the window owns it from here), sits above the
    // designed client area, which keeps its size.
    HMENU bar = MakeMenuBar();
    window_ = ::CreateWindowExW(exStyle, kMainWindowClass, L"", style, CW_USEDEFAULT, CW_USEDEFAULT,
                                100, 100, nullptr, bar, instance_, this);
    if (!window_) {
        if (bar) ::DestroyMenu(bar);
        return false;
    }
    Mark("main window");

    // Size the client area from the design, and centre the window on its monitor; where it
    // does not fit at the monitor's DPI, it is laid out smaller as a whole.
    const Dpi dpi = FitToWorkArea(window_, Dpi::ForWindow(window_), form_.Window.Position().width,
                                  form_.Window.Position().height);
    Mark("menu bar, fitting");

    events_.Attach(form_.Window);
    if (!events_.CreateWindows(window_, form_.Controls(), dpi)) return false;
    Mark("controls");
    form_.Window.SetSink(this);
    for (Control* control : form_.Controls()) control->SetSink(this);
    MirrorForm(Property::Caption);
    Mark("window's menus, wiring");
    return true;
}

void MainWindow::Mark(const char* stage) {
    if (stages_) stages_->Mark(stage);
}

void MainWindow::ShowAfterLoad(std::function<void()> rest) {
    shown_ = true;
    // Posted before the window can be seen: whatever another program posts once it sees the
    // window comes after the rest of start-up. Posted messages come before input, timers and
    // paint, so the first click, key or tick waits for it too; the first paint below does not.
    // The system menu's own commands are not drawn: they come with the rest.
    if (rest) {
        restOfStartUp_ = [this, rest = std::move(rest)] {
            AddMenuItems();
            rest();
        };
        ::PostMessageW(window_, kAfterFirstPaintMessage, 0, 0);
    } else {
        AddMenuItems();
    }
    ::ShowWindow(window_,
                 form_.Window.State() == WindowState::Minimized ? SW_SHOWMINIMIZED : SW_SHOWNORMAL);
    // The keyboard starts at the first control in reading order, as in a dialog box.
    if (!::IsChild(window_, ::GetFocus()))
        if (HWND first = ::GetNextDlgTabItem(window_, nullptr, FALSE)) ::SetFocus(first);
    Mark("shown");
    // Drawn now, the window and every control, before anything else is done.
    ::RedrawWindow(window_, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    Mark("first paint");
}

void MainWindow::OnChanged(Control& control, Property property) {
    if (&control == &form_.Window)
        MirrorForm(property);
    else
        controls_.Mirror(control, property);
}

void MainWindow::Guarded(const std::function<void()>& handler) {
    ++handlerDepth_;
    struct Leave {
        int& depth;
        ~Leave() { --depth; }
    } leave{handlerDepth_};
    try {
        handler();
    } catch (const AppError& error) {
        dialogs_.ShowMessage(
            "Run-time error '" + std::to_string(error.Number()) + "':\r\n\r\n" + error.what(),
            form_.AppTitle(), MessageButtons::Ok, MessageIcon::None);
    } catch (const std::exception& error) {
        dialogs_.ShowMessage(std::string("Run-time error:\r\n\r\n") + error.what(),
                             form_.AppTitle(), MessageButtons::Ok, MessageIcon::None);
    }
}

void MainWindow::Close(const char* why) {
    // A handler still on the stack (a run between two files, or waiting in a message box or
    // in the shell's progress window) must not go on once the window is gone: a run writes
    // what it did and that it was stopped, and the program ends here.
    const bool handlerUnderWay = handlerDepth_ > 0;
    if (handlerUnderWay) Guarded([&] { form_.StopRunAtOnce(why); });
    Guarded([&] { form_.Form_QueryUnload(); });
    ::DestroyWindow(window_);
    if (handlerUnderWay) ::ExitProcess(0);
}

LRESULT CALLBACK MainWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        ::SetWindowLongPtrW(window, GWLP_USERDATA,
                            reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        static_cast<MainWindow*>(create->lpCreateParams)->window_ = window;
    }
    auto* self = reinterpret_cast<MainWindow*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self) return ::DefWindowProcW(window, message, wParam, lParam);
    return self->HandleMessage(message, wParam, lParam);
}

LRESULT MainWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            if (lParam)
                Guarded([&] { events_.RouteCommand(wParam, lParam); });
            else if (HIWORD(wParam) == 0)
                MenuCommand(LOWORD(wParam));
            return 0;
        case WM_INITMENUPOPUP:
            if (!HIWORD(lParam)) FillMenuBarPopup(reinterpret_cast<HMENU>(wParam));
            break;
        case WM_DROPFILES: {
            // Folders dragged from Explorer onto the list.
            const HDROP drop = reinterpret_cast<HDROP>(wParam);
            std::vector<std::string> paths;
            const UINT count = ::DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
            for (UINT i = 0; i < count; ++i) {
                std::wstring path(::DragQueryFileW(drop, i, nullptr, 0) + 1, L'\0');
                const UINT length =
                    ::DragQueryFileW(drop, i, path.data(), static_cast<UINT>(path.size()));
                path.resize(length);
                if (length) paths.push_back(Narrow(path));
            }
            ::DragFinish(drop);
            Guarded([&] { form_.FoldersDropped(paths); });
            return 0;
        }
        case WM_CONTEXTMENU:
            // From the keyboard (a right click comes as the list's own notification).
            if (reinterpret_cast<HWND>(wParam) == controls_.WindowOf(form_.ListView1) &&
                lParam == -1) {
                ShowListMenu(true);
                return 0;
            }
            break;
        case WM_NOTIFY: {
            const auto& header = *reinterpret_cast<const NMHDR*>(lParam);
            if (header.hwndFrom == controls_.WindowOf(form_.ListView1)) {
                if (header.code == NM_RCLICK) {
                    ShowListMenu(false);
                    return 0;
                }
                // Delete removes the selected entry, as "Remove From List" does.
                if (header.code == LVN_KEYDOWN &&
                    reinterpret_cast<const NMLVKEYDOWN&>(header).wVKey == VK_DELETE &&
                    form_.ListView1.Selected()) {
                    Guarded([&] { form_.RemoveSelectedFolder(); });
                    return 0;
                }
            }
            std::optional<LRESULT> result;
            Guarded([&] { result = events_.RouteNotify(*reinterpret_cast<const NMHDR*>(lParam)); });
            if (result) return *result;
            break;
        }
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
            if (HBRUSH brush = controls_.ColorControl(reinterpret_cast<HDC>(wParam),
                                                      reinterpret_cast<HWND>(lParam)))
                return reinterpret_cast<LRESULT>(brush);
            break;
        case WM_ERASEBKGND: {
            RECT client;
            ::GetClientRect(window_, &client);
            ::FillRect(reinterpret_cast<HDC>(wParam), &client,
                       controls_.BrushFor(ShownColor(form_.Window.BackColor(),
                                                     ColorRole::Background, HighContrastOn())));
            return 1;
        }
        case WM_TIMER:
            Guarded([&] { events_.OnTimer(wParam); });
            return 0;
        case WM_SIZE:
            if (wParam == SIZE_MINIMIZED || wParam == SIZE_RESTORED) {
                form_.Window.StateChangedByUser(wParam == SIZE_MINIMIZED ? WindowState::Minimized
                                                                         : WindowState::Normal);
                Guarded([&] { form_.Window.Resize.Raise(); });
            }
            return 0;
        case WM_SETCURSOR:
            if (LOWORD(lParam) == HTCLIENT && SetCursorForPointer()) return TRUE;
            break;
        case kControlClickMessage:
            Guarded([&] { events_.RouteClick(wParam); });
            return 0;
        case WM_ACTIVATE:
            // Back from another program, the focus returns to the control that had it, as in
            // a dialog box; so a field left half-typed is checked when the user moves on.
            // One of this program's own boxes taking over is not "another program": the
            // handler that showed it puts the focus where it belongs.
            if (LOWORD(wParam) == WA_INACTIVE) {
                const HWND next = reinterpret_cast<HWND>(lParam);
                const bool ours =
                    next && ::GetWindowThreadProcessId(next, nullptr) == ::GetCurrentThreadId();
                HWND focus = ::GetFocus();
                focusBeforeDeactivation_ = !ours && ::IsChild(window_, focus) ? focus : nullptr;
            } else if (focusBeforeDeactivation_ && ::IsWindow(focusBeforeDeactivation_) &&
                       !HIWORD(wParam)) {
                ::SetFocus(focusBeforeDeactivation_);
                return 0;
            }
            break;
        case kStartedAgainMessage:
            Guarded([&] { form_.StartedAgain(); });
            // A message box that is up (the window is disabled under it) comes in front: the
            // person who started the program again must see what it waits for.
            if (!::IsWindowEnabled(window_)) {
                HWND box = nullptr;
                ::EnumThreadWindows(
                    ::GetCurrentThreadId(),
                    [](HWND candidate, LPARAM found) -> BOOL {
                        auto* result = reinterpret_cast<HWND*>(found);
                        if (!::IsWindowVisible(candidate) || !::IsWindowEnabled(candidate) ||
                            !::GetWindow(candidate, GW_OWNER))
                            return TRUE;
                        *result = candidate;
                        return FALSE;
                    },
                    reinterpret_cast<LPARAM>(&box));
                if (box) {
                    ::SetWindowPos(box, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
                    ::SetForegroundWindow(box);
                }
            }
            return 0;
        case kAfterFirstPaintMessage:
            if (restOfStartUp_) Guarded(std::exchange(restOfStartUp_, nullptr));
            Mark("after the first paint");
            if (stages_) stages_->Write();
            return 0;
        case kHotKeyMessage:
            Guarded([&] { form_.HotKeyPressed(); });
            return 0;
        case WM_MOUSEMOVE:
            form_.Window.MouseMove.Raise();
            return 0;
        case WM_SYSCOMMAND:
            if (SystemMenuCommand(wParam)) return 0;
            break;
        case WM_TIMECHANGE:
            Guarded([&] { form_.ClockChanged(); });
            return 0;
        case WM_POWERBROADCAST:
            if (wParam == PBT_APMRESUMEAUTOMATIC || wParam == PBT_APMRESUMESUSPEND)
                Guarded([&] { form_.ResumedFromSleep(); });
            return TRUE;
        case kDpiChangedMessage:
            controls_.Relayout(TakeSuggestedPlace(window_, wParam, lParam,
                                                  form_.Window.Position().width,
                                                  form_.Window.Position().height));
            return 0;
        case WM_SYSCOLORCHANGE:
        case WM_SETTINGCHANGE:
            // High contrast on or off, or other system colours: everything is drawn again.
            if (message == WM_SYSCOLORCHANGE || wParam == SPI_SETHIGHCONTRAST)
                ::RedrawWindow(window_, nullptr, nullptr,
                               RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
            // Group Policy applied a change: "Policy" names the policy area.
            if (message == WM_SETTINGCHANGE && lParam &&
                ::lstrcmpiW(reinterpret_cast<const wchar_t*>(lParam), L"Policy") == 0)
                Guarded([&] { form_.PoliciesChanged(); });
            break;
        case WM_QUERYENDSESSION:
            return TRUE;  // closing is never refused
        case WM_ENDSESSION:
            if (!wParam) return 0;
            Close("Windows is ending the session");
            return 0;
        case WM_CLOSE:
            Close(wParam == kCloseAskedByCommand ? "Ondrevan was asked to close by /exit"
                                                 : "Ondrevan was closed");
            return 0;
        case WM_DESTROY:
            ::PostQuitMessage(0);
            return 0;
        default:
            break;
    }
    return ::DefWindowProcW(window_, message, wParam, lParam);
}

}  // namespace ondrevan::win
