#pragma once

#include <windows.h>

#include <functional>

#include "app/win/ToolWindow_win.h"

namespace ondrevan {
class RunHistoryForm;
}

namespace ondrevan::win {

// The Run History tool window, and what it needs beyond plain controls: the chart drawn in
// the chart's place with the system's colours (a bar to a pixel column at every DPI, the bar
// under the pointer or the keyboard marked, the arrow keys, Home and End moving between
// bars), the tables' cells from the form, a click on a heading sorting, the selected run
// told to the form, and Close closing as Escape does. Holds no logic of the program's own.
class RunHistoryWindow {
  public:
    RunHistoryWindow(HINSTANCE instance, HWND owner, RunHistoryForm& form,
                     std::function<void(const std::function<void()>&)> guarded);
    ~RunHistoryWindow();
    RunHistoryWindow(const RunHistoryWindow&) = delete;
    RunHistoryWindow& operator=(const RunHistoryWindow&) = delete;

    bool Show();
    HWND Handle() const { return tool_.Handle(); }

  private:
    static LRESULT CALLBACK Subclass(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                     UINT_PTR, DWORD_PTR self);
    static LRESULT CALLBACK ChartSubclass(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                          UINT_PTR, DWORD_PTR self);
    LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleChart(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void PaintChart(HWND window, HDC dc);
    // Whether the pointer is over the chart.
    static bool PointerInside(HWND window);
    // The bar at a point of the chart's client area, or -1.
    int BarAt(HWND window, int x) const;
    void PointBar(int bar);
    void ShowColumns(HWND list, int count, int sorted, bool descending, const bool* numbers);

    RunHistoryForm& form_;
    std::function<void(const std::function<void()>&)> guarded_;
    ToolWindow tool_;
    HWND runs_ = nullptr;
    HWND folders_ = nullptr;
    HWND chart_ = nullptr;
};

}  // namespace ondrevan::win
