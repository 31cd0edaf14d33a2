#include "platform/win/Text_win.h"
#include "platform/win/Win32Platform.h"

namespace ondrevan::win {

MessageAnswer Win32Dialogs::ShowMessage(const std::string& text, const std::string& title,
                                        MessageButtons buttons, MessageIcon icon) {
    UINT style = buttons == MessageButtons::YesNo ? MB_YESNO : MB_OK;
    switch (icon) {
        case MessageIcon::Warning:
            style |= MB_ICONWARNING;
            break;
        case MessageIcon::Information:
            style |= MB_ICONINFORMATION;
            break;
        case MessageIcon::Question:
            style |= MB_ICONQUESTION;
            break;
        case MessageIcon::Error:
            style |= MB_ICONERROR;
            break;
        case MessageIcon::None:
            break;
    }
    HWND owner = owner_ && ::IsWindowVisible(owner_) ? owner_ : nullptr;
    if (!owner) style |= MB_TASKMODAL;
    int answer = ::MessageBoxW(owner, Widen(text).c_str(), Widen(title).c_str(), style);
    if (answer == IDYES) return MessageAnswer::Yes;
    if (answer == IDNO) return MessageAnswer::No;
    return MessageAnswer::Ok;
}

}  // namespace ondrevan::win
