#pragma once

#include <windows.h>

#include <commctrl.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "controls/Control.h"
#include "controls/OptionButton.h"
#include "controls/win/Dpi_win.h"
#include "platform/win/UniqueHandle.h"

namespace ondrevan::win {

class ControlEvents;

// The child windows of the main window, one per control of the model: creates them and
// mirrors the model's property changes onto them. Holds no logic of the program's own.
class ControlWindows {
  public:
    static constexpr int kFirstId = 1000;

    struct Entry {
        Control* control = nullptr;
        HWND window = nullptr;
        int id = 0;
        // Who hears the window's messages first, and its class's own procedure, which they
        // go on to. Found through the window's user data, which points here: a window
        // property would cost a call to Wine's server for every message.
        ControlEvents* events = nullptr;
        WNDPROC original = nullptr;
    };
    // The entry of a control's window; nullptr until its window is made.
    static Entry* EntryOf(HWND window);
    // The message as the window's class answers it, without our listening.
    static LRESULT CallOriginal(const Entry& entry, UINT message, WPARAM wParam, LPARAM lParam);

    // While a control's own notification is routed, its window already shows the new
    // value: that value is not mirrored back.
    class Echo {
      public:
        Echo(ControlWindows& windows, const Control& control)
            : windows_(windows), previous_(windows.routing_) {
            windows.routing_ = &control;
        }
        ~Echo() { windows_.routing_ = previous_; }
        Echo(const Echo&) = delete;
        Echo& operator=(const Echo&) = delete;

      private:
        ControlWindows& windows_;
        const Control* previous_;
    };

    explicit ControlWindows(HINSTANCE instance) : instance_(instance) {}

    // Creates a window for every control, in order (frames come before what they hold).
    // `made` has each window as soon as it exists, before it takes its font.
    bool Create(HWND mainWindow, const std::vector<Control*>& controls, Dpi dpi,
                const std::function<void(Entry&)>& made);

    // The window moved to a monitor of another DPI: every control takes its place and its
    // fonts again from the layout, at the new scale.
    void Relayout(Dpi dpi);
    Dpi CurrentDpi() const { return dpi_; }

    void Mirror(Control& control, Property property);
    // The brush and colours for a label, option or check box; nullptr for the default.
    HBRUSH ColorControl(HDC dc, HWND child);
    HBRUSH BrushFor(Color color);

    HWND MainWindow() const { return mainWindow_; }
    const std::vector<Entry>& Entries() const { return entries_; }
    HWND WindowOf(const Control& control) const;
    int IdOf(const Control& control) const;
    Entry* ById(int id);
    Entry* ByWindow(HWND window);
    // The control a window belongs to: its own, or that of the nearest ancestor that has one.
    Control* ControlAt(HWND window);
    // The control whose own notification is being routed, if any.
    const Control* Routing() const { return routing_; }

  private:
    struct PixelPlace {
        int left, top, width, height;
    };

    HWND CreateWindowFor(Entry& entry, HWND mainWindow, const std::function<void(Entry&)>& made);
    // Where the layout puts a control at the present DPI.
    PixelPlace PlaceOf(const Control& control) const;
    // The control's font at the present DPI, and what depends on it.
    void TakeFont(Entry& entry, bool redraw);
    const Entry* ByControl(const Control& control) const;
    HFONT FontFor(double points);
    void MirrorTimer(Entry& entry);
    void MirrorToolTip(Entry& entry);

    HINSTANCE instance_;
    HWND mainWindow_ = nullptr;
    Dpi dpi_;
    std::vector<Entry> entries_;
    std::map<double, UniqueHfont> fonts_;
    std::map<COLORREF, UniqueHbrush> brushes_;
    const Control* routing_ = nullptr;
    HWND toolTips_ = nullptr;  // made with the first tip; destroyed with the main window
};

}  // namespace ondrevan::win
