#pragma once

namespace ondrevan {

class Form1;
class Control;

// The main window around its own life: the tray icon from start-up on, hiding into the
// tray when minimized, coming back from the icon, the hover pointers, and shutdown.
class WindowLife {
  public:
    explicit WindowLife(Form1& form) : form_(form) {}

    void TrayAtStartUp();
    void Form_Resize();
    void cSysTray1_MouseDown();
    void Check8_Click();
    // The hover handlers: the pointer for the control under the mouse, unless busy.
    void Hover(int pointer);
    // Closing, whatever closes the window: the program ends after this.
    void Form_QueryUnload();
    bool Ended() const { return ended_; }

  private:
    Form1& form_;
    bool ended_ = false;
};

}  // namespace ondrevan
