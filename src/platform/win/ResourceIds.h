#pragma once

// The numbers of the program's resources, shared by the resource script and the code.
#define ONDREVAN_PROGRAM_ICON 1

#ifndef RC_INVOKED
namespace ondrevan::win {
inline constexpr int kProgramIconId = ONDREVAN_PROGRAM_ICON;
}  // namespace ondrevan::win
#endif
