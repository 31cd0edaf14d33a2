#pragma once

#include <windows.h>

#include "platform/EventLog.h"

namespace ondrevan::win {

// The Application log through RegisterEventSourceW and ReportEventW. The source is
// registered by the installers (EventMessageFile: the installed Ondrevan.exe); where it
// is not, Windows still keeps the events and shows their strings without the text.
class Win32EventLog : public EventLog {
  public:
    Win32EventLog() = default;
    Win32EventLog(const Win32EventLog&) = delete;
    Win32EventLog& operator=(const Win32EventLog&) = delete;
    ~Win32EventLog() override;
    void Report(const EventRecord& event) override;

  private:
    HANDLE source_ = nullptr;
};

}  // namespace ondrevan::win
