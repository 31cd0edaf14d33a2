#include "platform/ValueForms.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <iterator>

#include "platform/AppError.h"
#include "platform/Blanks.h"
#include "platform/Numeric.h"

namespace ondrevan {
namespace {

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

}  // namespace

std::string BooleanText(bool value) {
    return value ? "True" : "False";
}

bool ParseBooleanText(std::string_view text, std::string_view decimalSeparator) {
    std::string_view word = TrimBlanks(text);
    if (EqualsIgnoringCase(word, "True")) return true;
    if (EqualsIgnoringCase(word, "False")) return false;
    if (auto number = ParseNumber(text, decimalSeparator)) return *number != 0.0;
    throw errors::TypeMismatch();
}

std::string CheckStateText(bool checked) {
    return checked ? "1" : "0";
}

bool ParseCheckState(std::string_view text, std::string_view decimalSeparator) {
    if (auto number = ParseNumber(text, decimalSeparator)) return *number == 1.0;
    throw errors::TypeMismatch();
}

std::string JoinFolderList(const std::vector<std::string>& entries) {
    std::size_t size = 0;
    for (const std::string& entry : entries) size += entry.size() + kFolderSeparator.size();
    std::string joined;
    joined.reserve(size);
    for (const std::string& entry : entries) {
        joined += entry;
        joined += kFolderSeparator;
    }
    return joined;
}

std::vector<std::string> SplitFolderList(std::string_view value) {
    std::vector<std::string> pieces;
    std::size_t start = 0;
    for (;;) {
        std::size_t next = value.find(kFolderSeparator, start);
        if (next == std::string_view::npos) break;
        pieces.emplace_back(value.substr(start, next - start));
        start = next + kFolderSeparator.size();
    }
    // A value written by hand may lack the final separator ("reg add" of one path): a last
    // piece that is not empty is an entry too.
    if (start < value.size()) pieces.emplace_back(value.substr(start));
    return pieces;
}

std::vector<std::string> SplitAt(std::string_view text, char separator) {
    std::vector<std::string> pieces;
    while (true) {
        const std::size_t at = text.find(separator);
        pieces.emplace_back(text.substr(0, at));
        if (at == std::string_view::npos) return pieces;
        text.remove_prefix(at + 1);
    }
}

std::string GroupedNumber(std::uint64_t number) {
    const std::string digits = std::to_string(number);
    std::string grouped;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) grouped += ',';
        grouped += digits[i];
    }
    return grouped;
}

std::string CountedText(std::uint64_t count, const char* one, const char* many) {
    return GroupedNumber(count) + ' ' + (count == 1 ? one : many);
}

std::string SizeText(std::uint64_t bytes) {
    if (bytes < 1024) return CountedText(bytes, "byte", "bytes");
    const char* units[] = {"KB", "MB", "GB", "TB"};
    double size = static_cast<double>(bytes) / 1024;
    std::size_t unit = 0;
    for (; size >= 1024 && unit + 1 < std::size(units); ++unit) size /= 1024;
    char text[32];
    std::snprintf(text, sizeof text, "%.1f %s", size, units[unit]);
    return text;
}

}  // namespace ondrevan
