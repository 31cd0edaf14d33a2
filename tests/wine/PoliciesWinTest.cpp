#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "MemorySettingsStore.h"
#include "platform/win/NotifyIcon_win.h"
#include "platform/win/Registry_win.h"
#include "platform/win/Text_win.h"
#include "product/AppSettings.h"
#include "product/Policies.h"
#include "product/RunRules.h"
#include "product/SettingKeys.h"

namespace ondrevan::win {
namespace {

// The literal with every NUL written in it, and without the one that ends it.
template <std::size_t N>
std::wstring Chars(const wchar_t (&literal)[N]) {
    return std::wstring(literal, N - 1);
}

// The user's policies, written as an administrator's tools would, straight into the
// registry.
struct PolicyValues : ::testing::Test {
    const std::wstring key = Widen(kPolicyKey);
    Win32Registry registry;

    void SetUp() override {
        ::RegDeleteTreeW(HKEY_CURRENT_USER, key.c_str());
        HKEY created = nullptr;
        ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                                    nullptr, &created, nullptr),
                  ERROR_SUCCESS);
        ::RegCloseKey(created);
    }
    void TearDown() override { ::RegDeleteTreeW(HKEY_CURRENT_USER, key.c_str()); }

    void Set(const wchar_t* name, DWORD type, const void* data, std::size_t size) {
        ASSERT_EQ(::RegSetKeyValueW(HKEY_CURRENT_USER, key.c_str(), name, type, data,
                                    static_cast<DWORD>(size)),
                  ERROR_SUCCESS);
    }
    void Set(const wchar_t* name, DWORD type, const std::wstring& text) {
        Set(name, type, text.data(), text.size() * sizeof(wchar_t));
    }
    std::int32_t AgeInForce() {
        const Policies policies = ReadPolicies(registry);
        testing::MemorySettingsStore store;
        store.Set(keys::kMinimumAgeDays, "0");  // the user's own: every age goes
        return ReadRunRules(AppSettings(store, &policies)).minimumAgeDays;
    }
};

TEST_F(PolicyValues, EveryProtectedFolderCountsPastEmptyStringsNULsAndAnySize) {
    EXPECT_EQ(ReadPolicies(registry), Policies{}) << "a key without values sets nothing";

    // A multi-string with an empty string inside.
    Set(L"ProtectedFolders", REG_MULTI_SZ, Chars(L"C:\\First\0\0D:\\After an empty one\0\0"));
    EXPECT_EQ(ReadPolicies(registry).protectedFolders,
              (std::vector<std::string>{"C:\\First", "D:\\After an empty one"}));

    // One over 3 MiB long.
    std::wstring multi;
    std::vector<std::string> expected;
    for (int i = 0; multi.size() * sizeof(wchar_t) < (3u << 20); ++i) {
        const std::wstring folder = L"E:\\Folder " + std::to_wstring(i) + L"\\\u00dcbersicht";
        multi += folder + L'\0';
        expected.push_back(Narrow(folder));
    }
    Set(L"ProtectedFolders", REG_MULTI_SZ, multi + L'\0');
    const std::vector<std::string> read = ReadPolicies(registry).protectedFolders;
    EXPECT_EQ(read.size(), expected.size());
    EXPECT_TRUE(read == expected);

    // A single string written with NULs and line breaks inside, without its terminator.
    Set(L"ProtectedFolders", REG_SZ, Chars(L"C:\\A\0D:\\B\r\nE:\\C"));
    EXPECT_EQ(ReadPolicies(registry).protectedFolders,
              (std::vector<std::string>{"C:\\A", "D:\\B", "E:\\C"}));
}

TEST_F(PolicyValues, AnAgeThatDoesNotReadWhateverItsTypeKeepsEveryFile) {
    const BYTE seven[8] = {7};
    const struct {
        const char* what;
        DWORD type;
        std::size_t size;
    } unreadable[] = {
        {"REG_BINARY", REG_BINARY, 4},     {"REG_QWORD", REG_QWORD, 8},
        {"short REG_DWORD", REG_DWORD, 2}, {"REG_DWORD_BIG_ENDIAN", REG_DWORD_BIG_ENDIAN, 4},
        {"REG_NONE", REG_NONE, 0},         {"empty REG_BINARY", REG_BINARY, 0},
    };
    for (const auto& value : unreadable) {
        Set(L"MinimumAgeDays", value.type, seven, value.size);
        EXPECT_EQ(AgeInForce(), kMaximumAgeDays) << value.what;
    }
    Set(L"MinimumAgeDays", REG_MULTI_SZ, Chars(L"7\0\0"));
    EXPECT_EQ(AgeInForce(), kMaximumAgeDays) << "REG_MULTI_SZ";
    Set(L"MinimumAgeDays", REG_SZ, std::wstring(1 << 20, L'7'));
    EXPECT_EQ(AgeInForce(), kMaximumAgeDays) << "a MiB of digits";

    // What does read is the age.
    Set(L"MinimumAgeDays", REG_DWORD, seven, 4);
    EXPECT_EQ(AgeInForce(), 7);
    Set(L"MinimumAgeDays", REG_SZ, Chars(L"14\0"));
    EXPECT_EQ(AgeInForce(), 14);
}

}  // namespace
}  // namespace ondrevan::win
