#pragma once

#include <initializer_list>

#include "controls/Color.h"
#include "controls/Control.h"
#include "controls/Simple.h"

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

// One row of a tool window: a name at the left, its field at the right (and, on the same
// line, a second name and field beside it), and under them the line for a refusal.
struct FieldRow {
    Label& name;
    const char* caption;
    Control& field;
    int fieldWidth;
    Control* fault;  // nullptr: the row has no refusal of its own, its room stays
    Label* besideName = nullptr;
    const char* besideCaption = "";
    Control* beside = nullptr;
};

struct RowGrid {
    int top = 0;    // of the first row's field
    int left = 0;   // of the names and the refusals
    int field = 0;  // of the fields
    int width = 0;  // of the refusals, from `left`
};

// The pitch of the rows: a field, the two lines of a refusal under it, a gap.
inline constexpr int kRowFieldHeight = 345;
inline constexpr int kRowFaultHeight = 420;
inline constexpr int kRowGap = 60;
inline constexpr int kRowPitch = kRowFieldHeight + kRowFaultHeight + kRowGap;

// Places the rows one under the other, each at the same pitch; the names stand as high as
// their fields, on the line of the fields' text. Returns where the next row would begin.
inline int PlaceRows(std::initializer_list<FieldRow> rows, RowGrid grid, double points) {
    int top = grid.top;
    for (const FieldRow& row : rows) {
        const int nameWidth = grid.field - grid.left - 60;
        row.name.SetCentredInHeight(true);
        if (row.besideName) row.besideName->SetCentredInHeight(true);
        PlaceFields({{row.name, {grid.left, top, nameWidth, kRowFieldHeight}, row.caption},
                     {row.field, {grid.field, top, row.fieldWidth, kRowFieldHeight}, ""}},
                    points);
        if (row.besideName && row.beside) {
            const int nameLeft = grid.field + row.fieldWidth + 60;
            const int fieldLeft = nameLeft + 480;
            PlaceFields(
                {{*row.besideName, {nameLeft, top, 420, kRowFieldHeight}, row.besideCaption},
                 {*row.beside,
                  {fieldLeft, top, grid.left + grid.width - fieldLeft, kRowFieldHeight},
                  ""}},
                points);
        }
        if (row.fault)
            PlaceFields(
                {{*row.fault, {grid.left, top + kRowFieldHeight, grid.width, kRowFaultHeight}, ""}},
                points);
        top += kRowPitch;
    }
    return top;
}

}  // namespace ondrevan
