#pragma once

#include <initializer_list>

#include "controls/Color.h"
#include "controls/Control.h"

namespace ondrevan {

// One control of a tool window: where it lies and what it reads.
struct FieldPlace {
    Control& control;
    TwipRect at;
    const char* caption;
};

// Places the controls of a tool window, each in the window's font and on the window's own
// grey (a field keeps the system's white whatever it is given).
inline void PlaceFields(std::initializer_list<FieldPlace> places, double points) {
    for (const FieldPlace& place : places) {
        place.control.SetPosition(place.at);
        place.control.SetCaption(place.caption);
        place.control.SetFont({"Arial", points, false});
        place.control.SetBackColor(colors::kSystemButtonFace);
    }
}

}  // namespace ondrevan
