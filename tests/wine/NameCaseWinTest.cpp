#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "platform/FolderPaths.h"
#include "platform/win/Text_win.h"

namespace ondrevan::win {
namespace {

int CompareIgnoringCase(std::wstring_view a, std::wstring_view b) {
    return ::CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(),
                                  static_cast<int>(b.size()), TRUE);
}

// Windows' comparison of file names is the authority. Sorted by it, every character of the
// plane falls into runs that it takes for equal: one folding for each run, another for
// every other run.
TEST(NameCase, FoldsAsWindowsComparesFileNamesOverTheWholePlane) {
    std::vector<wchar_t> all;
    for (unsigned c = 0; c < 0x10000; ++c)
        if (c < 0xD800 || c > 0xDFFF) all.push_back(static_cast<wchar_t>(c));
    std::sort(all.begin(), all.end(), [](wchar_t a, wchar_t b) {
        return CompareIgnoringCase({&a, 1}, {&b, 1}) == CSTR_LESS_THAN;
    });
    std::set<char32_t> folds;
    std::vector<std::string> wrong;
    const auto note = [&](const char* what, wchar_t a, wchar_t b) {
        char text[64];
        std::snprintf(text, sizeof text, "%s U+%04X U+%04X", what, static_cast<unsigned>(a),
                      static_cast<unsigned>(b));
        wrong.push_back(text);
    };
    std::size_t runs = 0;
    for (std::size_t first = 0, next = 0; first < all.size(); first = next, ++runs) {
        const char32_t fold = FoldedCharacter(all[first]);
        if (!folds.insert(fold).second) note("folded as another run:", all[first], all[first]);
        for (next = first + 1; next < all.size() &&
                               CompareIgnoringCase({&all[first], 1}, {&all[next], 1}) == CSTR_EQUAL;
             ++next)
            if (FoldedCharacter(all[next]) != fold)
                note("equal to Windows:", all[first], all[next]);
    }
    EXPECT_TRUE(wrong.empty()) << wrong.size() << " wrong, the first: " << wrong.front();
    EXPECT_LT(runs, all.size() - 1000) << "Windows folds over a thousand characters";

    // Beyond the plane Windows folds nothing, and names fold character by character.
    for (const auto& [a, b] :
         {std::pair<const wchar_t*, const wchar_t*>{L"\U00010428", L"\U00010400"},
          {L"\u00fcber.txt", L"\u00dcBER.TXT"},
          {L"stra\u00dfe", L"STRASSE"},
          {L"\u03c2", L"\u03a3"}})
        EXPECT_EQ(FoldedName(Narrow(a)) == FoldedName(Narrow(b)),
                  CompareIgnoringCase(a, b) == CSTR_EQUAL)
            << Narrow(a) << " / " << Narrow(b);
}

}  // namespace
}  // namespace ondrevan::win
