#pragma once

#include <exception>
#include <new>
#include <string>
#include <utility>

#include "platform/AppError.h"

namespace ondrevan {

class Dialogs;

inline constexpr const char* kSupportEmail = "support@quillmere.example";
inline constexpr const char* kHomePageUrl = "https://www.quillmere.example/";
inline constexpr const char* kContactUrl = "https://www.quillmere.example/contact";

// Where a procedure's errors are said to come from.
inline constexpr const char* kLocationPrefix = "in Vestrilo2021/08/31.";
inline constexpr const char* kWalkLocationPrefix = "in Tessaroun2021/08/31.";
inline constexpr const char* kErrorReportTitle = "Application Error";

// The text of the error report box.
std::string ErrorReportText(const std::string& description, const std::string& locationPrefix,
                            const std::string& location, int line);
void ShowErrorReport(Dialogs& dialogs, const std::string& description,
                     const std::string& locationPrefix, const std::string& location, int line);

// The error trap of one procedure call. Each guarded statement gets the next line number
// (100, 102, 104, ...); a statement that fails is reported and the procedure goes on.
class ErrorTrap {
  public:
    // The names are literals: a trap costs nothing until something fails.
    ErrorTrap(Dialogs& dialogs, const char* location, const char* prefix = kLocationPrefix)
        : dialogs_(dialogs), location_(location), prefix_(prefix) {}

    // Runs one statement; false when it failed (and was reported).
    template <class Statement>
    bool Line(Statement&& statement) {
        return At(Reserve(), std::forward<Statement>(statement));
    }
    // Runs one statement under the line number written at it.
    template <class Statement>
    bool Line(int line, Statement&& statement) {
        return At(line, std::forward<Statement>(statement));
    }
    // A statement inside a loop keeps one line number however often it runs.
    int Reserve() {
        const int line = nextLine_;
        nextLine_ += 2;
        return line;
    }
    template <class Statement>
    bool At(int line, Statement&& statement) {
        try {
            statement();
            return true;
        } catch (const AppError& error) {
            Report(error.what(), line);
        } catch (const std::bad_alloc&) {
            Report("Out of memory", line);
        } catch (const std::exception& error) {
            Report(error.what(), line);
        }
        return false;
    }

    int NextLine() const { return nextLine_; }
    bool AnyFailed() const { return anyFailed_; }

  private:
    void Report(const std::string& description, int line);

    Dialogs& dialogs_;
    const char* location_;
    const char* prefix_;
    int nextLine_ = 100;
    bool anyFailed_ = false;
};

}  // namespace ondrevan
