#include "platform/win/EventLog_win.h"

#include <string>
#include <vector>

#include "platform/win/Text_win.h"

namespace ondrevan::win {

Win32EventLog::~Win32EventLog() {
    if (source_) ::DeregisterEventSource(source_);
}

void Win32EventLog::Report(const EventRecord& event) {
    if (!source_) source_ = ::RegisterEventSourceW(nullptr, Widen(kEventSource).c_str());
    if (!source_) return;
    std::vector<std::wstring> strings;
    for (const std::string& text : event.strings) strings.push_back(Widen(text));
    std::vector<const wchar_t*> pointers;
    for (const std::wstring& text : strings) pointers.push_back(text.c_str());
    const WORD type = event.type == EventType::Error     ? EVENTLOG_ERROR_TYPE
                      : event.type == EventType::Warning ? EVENTLOG_WARNING_TYPE
                                                         : EVENTLOG_INFORMATION_TYPE;
    ::ReportEventW(source_, type, 0, event.id, nullptr, static_cast<WORD>(pointers.size()), 0,
                   pointers.empty() ? nullptr : pointers.data(), nullptr);
}

}  // namespace ondrevan::win
