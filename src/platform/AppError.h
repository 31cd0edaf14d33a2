#pragma once

#include <stdexcept>
#include <string>

namespace ondrevan {

// A run-time error as the error report shows it: a number and a description.
// Routines raise it; the procedures that trap errors catch it and report it.
class AppError : public std::runtime_error {
  public:
    AppError(int number, const std::string& description)
        : std::runtime_error(description), number_(number) {}
    int Number() const { return number_; }

  private:
    int number_;
};

namespace errors {
inline constexpr int kOverflow = 6;
inline constexpr int kTypeMismatch = 13;
inline constexpr int kFileNotFound = 53;
inline constexpr int kPermissionDenied = 70;
inline constexpr int kPathNotFound = 76;
inline constexpr int kInvalidPropertyValue = 380;
inline constexpr int kPropertyReadOnly = 383;

inline AppError TypeMismatch() {
    return AppError(kTypeMismatch, "Type mismatch");
}
}  // namespace errors

}  // namespace ondrevan
