#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "platform/AppError.h"

namespace ondrevan::win {

// UTF-8 inside, UTF-16 at the API. Lengths are explicit, so embedded NULs survive.
std::wstring Widen(std::string_view utf8);
// The same from any code page (CP_ACP for the ANSI files).
std::wstring WidenFrom(UINT codePage, std::string_view text);
std::string Narrow(std::wstring_view utf16);

// A path for the ...W file calls: long absolute paths get the \\?\ prefix they need.
std::wstring WidePath(std::string_view utf8Path);
std::wstring WidePath(std::wstring path);

// The AppError a Windows error code stands for (file not found, permission denied, ...).
AppError ErrorFromWin32(DWORD code);
AppError LastError();

}  // namespace ondrevan::win
