#pragma once

#include <string>

#include "platform/DateTime.h"

namespace ondrevan {

class Form1;
class Locale;

// The time stamp of a history line: short date and long time, the date alone at midnight.
std::string HistoryTimeStamp(const LocalDateTime& when, Locale& locale);

// The history log: one line per deletion step in a text file in the temporary folder.
class History {
  public:
    explicit History(Form1& form) : form_(form) {}

    // Writes "<time stamp> <message> <path>" and CR LF; throws when the file cannot be written.
    void AppendLine(const std::string& message, const std::string& path);
    void AppendTextToFile(const std::string& text, const std::string& path);

    void PushButton1_Click();
    void PushButton4_Click();
    void PushButton5_Click();

  private:
    Form1& form_;
};

}  // namespace ondrevan
