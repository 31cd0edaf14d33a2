#include <gtest/gtest.h>

#include <windows.h>

#include "platform/win/Text_win.h"
#include "platform/win/Win32Platform.h"

namespace ondrevan::win {
namespace {

constexpr const wchar_t* kTestKey = L"Software\\VB and VBA Program Settings\\OndrevanTest";

struct RegistryStore : ::testing::Test {
    RegistrySettingsStore store;
    void SetUp() override { ::RegDeleteTreeW(HKEY_CURRENT_USER, kTestKey); }
    void TearDown() override { ::RegDeleteTreeW(HKEY_CURRENT_USER, kTestKey); }

    static bool SectionExists() {
        HKEY key = nullptr;
        if (::RegOpenKeyExW(HKEY_CURRENT_USER, (std::wstring(kTestKey) + L"\\Section").c_str(), 0,
                            KEY_READ, &key) != ERROR_SUCCESS)
            return false;
        ::RegCloseKey(key);
        return true;
    }
};

TEST_F(RegistryStore, ReadingAnAbsentKeyGivesNothingAndCreatesNothing) {
    EXPECT_EQ(store.Read("OndrevanTest", "Section", "Missing"), std::nullopt);
    EXPECT_FALSE(SectionExists());
    EXPECT_EQ(GetSetting(store, "OndrevanTest", "Section", "Missing", "1"), "1");
    EXPECT_FALSE(SectionExists());
}

TEST_F(RegistryStore, KeepsValuesOfAnyLengthAndCharacterUnchanged) {
    const std::string values[] = {
        "",
        "True",
        " leading and trailing blanks ",
        "C:\\Daten\\Übersicht\\日本語\\😀",
        std::string("embedded\0nul", 12),
        "line\r\nbreaks\tand tabs",
        std::string(126, 'y'),  // with its terminator, just what a first read takes
        std::string(127, 'y'),
        std::string(128, 'y'),
        std::string(1 << 20, 'x'),
    };
    for (const std::string& value : values) {
        SaveSetting(store, "OndrevanTest", "Section", "Key", value);
        EXPECT_EQ(store.Read("OndrevanTest", "Section", "Key"), value) << value.size();
    }
    EXPECT_TRUE(SectionExists());
}

TEST_F(RegistryStore, WritesPlainStringValuesWhereEarlierReleasesKeptThem) {
    SaveSetting(store, "OndrevanTest", "Section", "Check1", "1");
    wchar_t data[16] = {};
    DWORD type = 0, bytes = sizeof data;
    ASSERT_EQ(::RegGetValueW(HKEY_CURRENT_USER, (std::wstring(kTestKey) + L"\\Section").c_str(),
                             L"Check1", RRF_RT_ANY, &type, data, &bytes),
              ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_STREQ(data, L"1");
}

TEST_F(RegistryStore, ReadsAValueWrittenByAnotherProgram) {
    HKEY key = nullptr;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, (std::wstring(kTestKey) + L"\\Section").c_str(),
                                0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    const wchar_t text[] = L"Friday";
    ::RegSetValueExW(key, L"Weekly", 0, REG_SZ, reinterpret_cast<const BYTE*>(text), sizeof text);
    // A value stored without its terminating NUL reads the same.
    ::RegSetValueExW(key, L"Bare", 0, REG_SZ, reinterpret_cast<const BYTE*>(text), sizeof text - 2);
    DWORD number = 1;
    ::RegSetValueExW(key, L"Number", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number),
                     sizeof number);
    ::RegCloseKey(key);
    EXPECT_EQ(store.Read("OndrevanTest", "Section", "Weekly"), "Friday");
    EXPECT_EQ(store.Read("OndrevanTest", "Section", "Bare"), "Friday");
    EXPECT_EQ(store.Read("OndrevanTest", "Section", "Number"), std::optional<std::string>("1"));
}

TEST_F(RegistryStore, AValueOfAnotherTypeReadsAsWhatItHoldsNeverAsEmpty) {
    HKEY key = nullptr;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, (std::wstring(kTestKey) + L"\\Section").c_str(),
                                0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    const wchar_t lines[] = L"C:\\Keep\0\0D:\\\u00dcbersicht\0";
    const BYTE bytes[8] = {0x39, 0x30, 0, 0, 0, 0, 0, 0};
    const struct {
        const wchar_t* name;
        DWORD type;
        const void* data;
        DWORD size;
        std::string reads;
    } values[] = {
        {L"Multi", REG_MULTI_SZ, lines, sizeof lines,
         "C:\\Keep\r\nD:\\\xC3\x9C"
         "bersicht"},
        {L"Qword", REG_QWORD, bytes, 8, "12345"},
        {L"Binary", REG_BINARY, bytes, 3, "hex:39,30,00"},
        {L"ShortDword", REG_DWORD, bytes, 2, "hex:39,30"},
        {L"Empty", REG_BINARY, bytes, 0, ""},
    };
    for (const auto& value : values)
        ::RegSetValueExW(key, value.name, 0, value.type, static_cast<const BYTE*>(value.data),
                         value.size);
    ::RegCloseKey(key);
    for (const auto& value : values)
        EXPECT_EQ(store.Read("OndrevanTest", "Section", Narrow(value.name)), value.reads)
            << Narrow(value.name);
}

}  // namespace
}  // namespace ondrevan::win
