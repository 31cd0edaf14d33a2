// The sub-folder walk over a generated tree of about 20,000 folders, beside a plain
// breadth-first FindFirstFileExW walk of the same tree, and the cost of storing a long
// folder list.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <deque>
#include <string>
#include <vector>

#include "app/Form1.h"
#include "folders/FolderList.h"
#include "platform/win/Text_win.h"
#include "platform/win/Win32Services.h"

using namespace ondrevan;

namespace {

const std::wstring kRoot = L"C:\\ondrevan-bench-tree";

double NowMs() {
    LARGE_INTEGER count, frequency;
    ::QueryPerformanceCounter(&count);
    ::QueryPerformanceFrequency(&frequency);
    return static_cast<double>(count.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

int MakeTree() {
    int made = 0;
    ::CreateDirectoryW(kRoot.c_str(), nullptr);
    for (int a = 0; a < 20; ++a) {
        std::wstring level1 = kRoot + L"\\a" + std::to_wstring(a);
        made += ::CreateDirectoryW(level1.c_str(), nullptr) ? 1 : 0;
        for (int b = 0; b < 20; ++b) {
            std::wstring level2 = level1 + L"\\b" + std::to_wstring(b);
            made += ::CreateDirectoryW(level2.c_str(), nullptr) ? 1 : 0;
            for (int c = 0; c < 49; ++c)
                made += ::CreateDirectoryW((level2 + L"\\c" + std::to_wstring(c)).c_str(), nullptr)
                            ? 1
                            : 0;
        }
    }
    return made;
}

std::size_t PlainWalk() {
    std::deque<std::wstring> queue{kRoot};
    std::size_t folders = 0;
    while (!queue.empty()) {
        std::wstring folder = std::move(queue.front());
        queue.pop_front();
        ++folders;
        WIN32_FIND_DATAW data;
        HANDLE find =
            ::FindFirstFileExW((folder + L"\\*").c_str(), FindExInfoBasic, &data,
                               FindExSearchLimitToDirectories, nullptr, FIND_FIRST_EX_LARGE_FETCH);
        if (find == INVALID_HANDLE_VALUE) continue;
        do {
            if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) continue;
            if (data.cFileName[0] == L'.' &&
                (!data.cFileName[1] || (data.cFileName[1] == L'.' && !data.cFileName[2])))
                continue;
            queue.push_back(folder + L"\\" + data.cFileName);
        } while (::FindNextFileW(find, &data));
        ::FindClose(find);
    }
    return folders;
}

}  // namespace

int wmain() {
    win::Win32Services real;
    Form1 form(real.services());
    std::printf("tree: %d folders made\n", MakeTree());

    std::vector<double> walkTimes, plainTimes;
    std::size_t walked = 0, plain = 0;
    for (int round = 0; round < 3; ++round) {
        double start = NowMs();
        std::vector<AddFolder::Member> folders{{win::Narrow(kRoot) + "\\", std::nullopt}};
        form.FolderAdder().GetSubDirectories2016(folders, true);
        walkTimes.push_back(NowMs() - start);
        walked = folders.size();
        start = NowMs();
        plain = PlainWalk();
        plainTimes.push_back(NowMs() - start);
    }
    const double walk = *std::min_element(walkTimes.begin(), walkTimes.end());
    const double base = *std::min_element(plainTimes.begin(), plainTimes.end());
    std::printf("sub-folder walk, best of 3\n");
    std::printf("  walk        %6zu folders %8.1f ms %9.0f folders/s\n", walked, walk,
                walked / walk * 1000);
    std::printf("  plain walk  %6zu folders %8.1f ms %9.0f folders/s\n", plain, base,
                plain / base * 1000);
    std::printf("  ratio       %8.2f\n", walk / base);

    // Storing the list after one more folder joins 32,766 entries.
    std::vector<std::string> entries;
    for (int i = 0; i < 32766; ++i)
        entries.push_back("C:\\Data\\Projects\\Folder " + std::to_string(i) + "\\");
    form.ListView1.AddRange(entries);
    form.ListView1.Add("C:\\One\\More\\");
    double start = NowMs();
    form.Folders().SaveFolderList();
    std::printf("storing 32,767 entries: %.1f ms\n", NowMs() - start);
    form.ListView1.Clear();
    form.Folders().SaveFolderList();
    return 0;
}
