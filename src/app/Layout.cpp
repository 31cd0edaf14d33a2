#include "app/Layout.h"

#include <cstring>

namespace ondrevan {

using K = ControlKind;

// clang-format off
const std::array<LayoutEntry, 38> kLayout = {{
    {"PushButton2",  K::PushButton,     "Turn On Automatic Delete",           nullptr,  {120, 120, 3720, 405},   kButtonPoints},
    {"PushButton3",  K::PushButton,     "Start Deleting Folder/s Now (Test)", nullptr,  {3960, 120, 3960, 405},  kButtonPoints},
    {"Label5",       K::Label,          "(Press Ctrl+Shift+T to toggle ON/OFF)", nullptr, {3960, 0, 3300, 225}, kCaptionPoints},
    {"Frame4",       K::Frame,          "Off.",                               nullptr,  {120, 550, 7800, 855},   kCaptionPoints},
    {"ProgressBar1", K::ProgressBar,    "",                                   "Frame4", {240, 285, 7320, 405},   kCaptionPoints},
    {"Label4",       K::Label,          "Note: Files are deleted permanently; folder mode sends the folders to the Recycle Bin",
                                                                              nullptr,  {120, 1530, 7800, 285},  kCaptionPoints},
    {"ListView1",    K::ListView,       "",                                   nullptr,  {120, 1910, 7800, 2730}, kCaptionPoints},
    {"PushButton10", K::PushButton,     "Add Folders/Subfolders To List",     nullptr,  {120, 4730, 3840, 405},  kButtonPoints},
    {"PushButton12", K::PushButton,     "Load Folder List From Text File",    nullptr,  {4080, 4730, 3840, 405}, kButtonPoints},
    {"PushButton13", K::PushButton,     "Clear List",                         nullptr,  {120, 5240, 3840, 405},  kButtonPoints},
    {"PushButton14", K::PushButton,     "Load Sample/Example Folders",        nullptr,  {4080, 5240, 3840, 405}, kButtonPoints},
    {"Frame1",       K::Frame,          "Delete Option",                      nullptr,  {8040, 15, 7800, 1095},  kCaptionPoints},
    {"Option1",      K::OptionButton,   "Delete folder and contents of folder", "Frame1", {240, 300, 5895, 300}, kCaptionPoints},
    {"Option2",      K::OptionButton,   "Delete contents of folder but leave folder", "Frame1", {240, 650, 6135, 300}, kCaptionPoints},
    {"Frame2",       K::Frame,          "Confirm Option",                     nullptr,  {8040, 1185, 7800, 825}, kCaptionPoints},
    {"Check1",       K::CheckBox,       "Confirm before delete with yes/no message", "Frame2", {240, 360, 4335, 225}, kCaptionPoints},
    {"PushButton6",  K::PushButton,     "?",                                  "Frame2", {6960, 270, 600, 405},   kButtonPoints},
    {"Frame3",       K::Frame,          "Delete Schedule",                    nullptr,  {8040, 2085, 7800, 1770}, kCaptionPoints},
    {"Option3",      K::OptionButton,   "Delete every:",                      "Frame3", {240, 345, 1575, 255},   kCaptionPoints},
    {"Text1",        K::TextBox,        "",                                   "Frame3", {1800, 300, 500, 345},   kCaptionPoints},
    {"Label1",       K::Label,          "hour/s",                             "Frame3", {2400, 300, 540, 345},   kCaptionPoints},
    {"Text2",        K::TextBox,        "",                                   "Frame3", {3120, 300, 500, 345},   kCaptionPoints},
    {"Label2",       K::Label,          "minute/s",                           "Frame3", {3720, 300, 735, 345},   kCaptionPoints},
    {"Text3",        K::TextBox,        "",                                   "Frame3", {4680, 300, 500, 345},   kCaptionPoints},
    {"Label3",       K::Label,          "second/s",                           "Frame3", {5280, 300, 780, 345},   kCaptionPoints},
    {"Option4",      K::OptionButton,   "Daily:",                             "Frame3", {240, 795, 825, 255},    kCaptionPoints},
    {"dtpWeekly",    K::DateTimePicker, "",                                   "Frame3", {1800, 750, 4335, 375},  kCaptionPoints},
    {"Option5",      K::OptionButton,   " Weekly:",                           "Frame3", {240, 1275, 1185, 255},  kCaptionPoints},
    {"cboWeekly",    K::ComboBox,       "",                                   "Frame3", {1800, 1230, 4335, 345}, kCaptionPoints},
    {"Frame5",       K::Frame,          "Startup Options",                    nullptr,  {8040, 3915, 7800, 700}, kCaptionPoints},
    {"Check3",       K::CheckBox,       "Load this software on Windows startup", "Frame5", {240, 300, 3930, 255}, kCaptionPoints},
    {"Check8",       K::CheckBox,       "Start in system tray",               "Frame5", {4200, 300, 2340, 255},  kCaptionPoints},
    {"PushButton1",  K::PushButton,     "View History Log",                   nullptr,  {8040, 4730, 3840, 405}, kButtonPoints},
    {"PushButton4",  K::PushButton,     "Copy History To Clipboard",          nullptr,  {12000, 4730, 3840, 405}, kButtonPoints},
    {"PushButton11", K::PushButton,     "Help",                               nullptr,  {8040, 5240, 3840, 405}, kButtonPoints},
    {"PushButton5",  K::PushButton,     "Clear History Log",                  nullptr,  {12000, 5240, 3840, 405}, kButtonPoints},
    {"RichTextBox1", K::RichTextBox,    "",                                   nullptr,  {360, 12990, 4815, 3015}, kCaptionPoints},
    {"Timer1",       K::Timer,          "",                                   nullptr,  {0, 0, 0, 0},            kCaptionPoints},
}};
// clang-format on

const LayoutEntry* FindLayout(const char* name) {
    for (const LayoutEntry& entry : kLayout)
        if (std::strcmp(entry.name, name) == 0) return &entry;
    return nullptr;
}

TwipRect ClientPosition(const LayoutEntry& entry) {
    TwipRect rect = entry.position;
    if (entry.container) {
        const TwipRect& frame = FindLayout(entry.container)->position;
        rect.left += frame.left;
        rect.top += frame.top;
    }
    return rect;
}

}  // namespace ondrevan
