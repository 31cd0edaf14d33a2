#include "platform/Numeric.h"

#include <cctype>
#include <charconv>

namespace ondrevan {
namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

}  // namespace

std::optional<double> ParseNumber(std::string_view text, std::string_view decimalSeparator) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);

    // Rewrite into the plain form from_chars reads, checking the shape on the way.
    std::string plain;
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    int digits = 0;
    while (i < text.size() && IsDigit(text[i])) plain += text[i++], ++digits;
    if (!decimalSeparator.empty() && text.substr(i, decimalSeparator.size()) == decimalSeparator) {
        i += decimalSeparator.size();
        plain += '.';
        while (i < text.size() && IsDigit(text[i])) plain += text[i++], ++digits;
    }
    if (digits == 0) return std::nullopt;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        plain += 'e';
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) plain += text[i++];
        int exponentDigits = 0;
        while (i < text.size() && IsDigit(text[i])) plain += text[i++], ++exponentDigits;
        if (exponentDigits == 0) return std::nullopt;
    }
    if (i != text.size()) return std::nullopt;
    if (plain.front() == '.') plain.insert(plain.begin(), '0');

    double value = 0;
    auto [end, error] = std::from_chars(plain.data(), plain.data() + plain.size(), value);
    if (error != std::errc() || end != plain.data() + plain.size()) return std::nullopt;
    return negative ? -value : value;
}

}  // namespace ondrevan
