#pragma once

#include <windows.h>

#include <commctrl.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "app/win/Dpi_win.h"
#include "controls/Control.h"
#include "controls/FormWindow.h"
#include "platform/win/UniqueHandle.h"

namespace ondrevan::win {

// Posted to the main window for a click that a child control does not report itself.
inline constexpr UINT kControlClickMessage = WM_APP + 2;

// The child windows of the main window, one per control of the model: creates them,
// mirrors the model's property changes onto them, and turns their notifications back
// into the model's events. Holds no logic of the program's own.

class ControlWindows {
  public:
    static constexpr int kFirstId = 1000;

    explicit ControlWindows(HINSTANCE instance) : instance_(instance) {}

    // Creates a window for every control, in order (frames come before what they hold).
    // `form` hears where the keyboard focus goes.
    bool Create(HWND mainWindow, FormWindow& form, const std::vector<Control*>& controls, Dpi dpi);

    void Mirror(Control& control, Property property);
    void RouteCommand(WPARAM wParam, LPARAM lParam);
    std::optional<LRESULT> RouteNotify(const NMHDR& header);
    // The brush and colours for a label, option or check box; nullptr for the default.
    HBRUSH ColorControl(HDC dc, HWND child);
    void OnTimer(UINT_PTR id);
    // A click posted with kControlClickMessage.
    void RouteClick(WPARAM id);
    // Every child window tells its control when the mouse moves over it, where the focus
    // goes when it leaves, and (the picker) when it is clicked.
    void SubclassChildren();

    HWND WindowOf(const Control& control) const;
    int IdOf(const Control& control) const;
    HBRUSH BrushFor(Color color);

  private:
    struct Entry {
        Control* control = nullptr;
        HWND window = nullptr;
        int id = 0;
    };

    HWND CreateWindowFor(Entry& entry, HWND mainWindow);
    Entry* ById(int id);
    Entry* ByWindow(HWND window);
    const Entry* ByControl(const Control& control) const;
    HFONT FontFor(double points);
    // The control a window belongs to: its own, or that of the nearest ancestor that has one.
    Control* ControlAt(HWND window);
    void FocusLeaving(Control& control);
    static LRESULT CALLBACK ChildSubclass(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                          UINT_PTR, DWORD_PTR owner);
    void MirrorListView(Entry& entry, Property property);
    void MirrorTimer(Entry& entry);

    HINSTANCE instance_;
    HWND mainWindow_ = nullptr;
    FormWindow* form_ = nullptr;
    Dpi dpi_;
    std::vector<Entry> entries_;
    std::map<double, UniqueHfont> fonts_;
    std::map<COLORREF, UniqueHbrush> brushes_;
    // The control whose own notification is being routed: its window already shows
    // the new value, so that value is not mirrored back.
    const Control* routing_ = nullptr;
    // Where the focus is going while a text box reports that it lost it.
    HWND focusLeavingTo_ = nullptr;
};

}  // namespace ondrevan::win
