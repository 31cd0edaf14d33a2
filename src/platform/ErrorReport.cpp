#include "platform/ErrorReport.h"

#include "platform/Dialogs.h"

namespace ondrevan {

std::string ErrorReportText(const std::string& description, const std::string& locationPrefix,
                            const std::string& location, int line) {
    return description + "\r\n" + locationPrefix + location + " " + "at line " +
           std::to_string(line) + "\r\r" + "Please email screenshot of this message to " +
           kSupportEmail;
}

void ShowErrorReport(Dialogs& dialogs, const std::string& description,
                     const std::string& locationPrefix, const std::string& location, int line) {
    dialogs.ShowMessage(ErrorReportText(description, locationPrefix, location, line),
                        kErrorReportTitle, MessageButtons::Ok, MessageIcon::Warning);
}

void ErrorTrap::Report(const std::string& description, int line) {
    anyFailed_ = true;
    ShowErrorReport(dialogs_, description, prefix_, location_, line);
}

}  // namespace ondrevan
