#pragma once

// The real seams for tests under Wine, with the dialogs answered by the scripted double.
#include <windows.h>

#include <gtest/gtest.h>
#include <shellapi.h>

#include <string>

#include "ScriptedDialogs.h"
#include "platform/Services.h"
#include "platform/win/Text_win.h"
#include "platform/win/Win32Services.h"

namespace ondrevan::win::testing {

struct RealSystem {
    Win32Services real;
    ondrevan::testing::ScriptedDialogs dialogs;
    Services services() {
        Services s = real.services();
        return {s.settings,     s.fileSystem, s.shell,       dialogs,  s.clock,
                s.pump,         s.locale,     s.environment, s.ansi,   s.clipboard,
                s.keyboardHook, s.notifyIcon, s.registry,    s.runLock};
    }
};

inline constexpr const wchar_t* kSettingsKey =
    L"Software\\VB and VBA Program Settings\\Quillmere\\Ondrevan";

// The program under test: ONDREVAN_PROGRAM, or the build's own beside the tests.
inline std::wstring ProgramPath() {
    wchar_t path[MAX_PATH] = {};
    if (::GetEnvironmentVariableW(L"ONDREVAN_PROGRAM", path, MAX_PATH)) return path;
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring here(path);
    return here.substr(0, here.find_last_of(L'\\')) + L"\\..\\Ondrevan\\Ondrevan.exe";
}

// The tests over the links that links-check.sh makes inside the prefix: skipped without
// them, each with the settings of its own.
struct WithLinks : ::testing::Test {
    RealSystem sys;
    std::string root;  // where the links are
    void SetUp() override {
        wchar_t value[MAX_PATH] = {};
        if (!::GetEnvironmentVariableW(L"ONDREVAN_LINKS", value, MAX_PATH))
            GTEST_SKIP() << "only with the links that links-check.sh makes";
        root = Narrow(value);
        ::RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey);
    }
    void TearDown() override { ::RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey); }
};

// Removes a test tree for good, without the Recycle Bin.
inline void RemoveTree(const std::string& path) {
    std::wstring from = Widen(path);
    from.append(2, L'\0');
    SHFILEOPSTRUCTW operation{};
    operation.wFunc = FO_DELETE;
    operation.pFrom = from.c_str();
    operation.fFlags = FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT;
    ::SHFileOperationW(&operation);
}

}  // namespace ondrevan::win::testing
