// The Event Log shows an event's text from the executable's own message table: every event
// the program reports must find its text there, with its strings in place.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "RealSystem.h"
#include "history/EventWatch.h"
#include "platform/win/Text_win.h"

namespace ondrevan::win {
namespace {

using ondrevan::win::testing::ProgramPath;

struct NoLog : EventLog {
    void Report(const EventRecord&) override {}
};

TEST(EventMessages, EveryEventFindsItsTextInTheProgramsMessageTable) {
    HMODULE program = ::LoadLibraryExW(ProgramPath().c_str(), nullptr,
                                       LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_NE(program, nullptr) << Narrow(ProgramPath());
    // The events of lines a run writes, as the run reports them.
    EventWatch watch;
    std::vector<EventRecord> reported;
    for (const char* line :
         {"Run finished: 1 file deleted (1 byte)", "Refused  C:\\x (a link)",
          "Missed run of 2026-03-29T02:30:00, run now", "Run finished: 0 files deleted (0 bytes)"})
        for (EventRecord& event :
             watch.Line(line, std::string_view(line).rfind("Refused ", 0) == 0))
            reported.push_back(std::move(event));
    reported.push_back(
        *watch.WriteFailed("The history file C:\\T\\Ondrevan.txt cannot be written"));
    const std::vector<std::pair<std::uint32_t, std::string>> texts = {
        {1000, "A run finished.\r\nRun finished: 1 file deleted (1 byte)"},
        {1002, "An entry of the folder list was refused.\r\nRefused  C:\\x (a link)"},
        {1003, "A missed run was caught up.\r\nMissed run of 2026-03-29T02:30:00, run now"},
        {1001,
         "A run finished with failures.\r\nRun finished: 0 files deleted (0 bytes)\r\n"
         "First failures:\r\nRefused  C:\\x (a link)"},
        {1004,
         "The history file cannot be written.\r\nThe history file C:\\T\\Ondrevan.txt "
         "cannot be written"},
    };
    ASSERT_EQ(reported.size(), texts.size());
    for (std::size_t i = 0; i < texts.size(); ++i) {
        const EventRecord& event = reported[i];
        EXPECT_EQ(event.id, texts[i].first);
        std::vector<std::wstring> strings;
        for (const std::string& text : event.strings) strings.push_back(Widen(text));
        std::vector<DWORD_PTR> arguments;
        for (const std::wstring& text : strings)
            arguments.push_back(reinterpret_cast<DWORD_PTR>(text.c_str()));
        wchar_t* text = nullptr;
        const DWORD length = ::FormatMessageW(
            FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_ALLOCATE_BUFFER |
                FORMAT_MESSAGE_ARGUMENT_ARRAY,
            program, event.id, MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US),
            reinterpret_cast<wchar_t*>(&text), 0, reinterpret_cast<va_list*>(arguments.data()));
        ASSERT_NE(length, 0u) << "no text for event " << event.id << ": " << ::GetLastError();
        EXPECT_EQ(Narrow(std::wstring(text, length)), texts[i].second) << event.id;
        ::LocalFree(text);
    }
    ::FreeLibrary(program);
}

}  // namespace
}  // namespace ondrevan::win
