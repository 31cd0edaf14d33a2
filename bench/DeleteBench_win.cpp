// Deleting 50,000 small files that lie directly in one folder: the deletion run's file
// step beside "cmd /c del /f /q" on a folder made the same way, in the same run.
//   delete_bench.exe fill [COUNT]    makes the two folders (slow under Wine)
//   delete_bench.exe measure [COUNT] deletes them and prints the figures
//   delete_bench.exe measure-del-first [COUNT]      the same, del first
//   delete_bench.exe measure-one-at-a-time [COUNT]  ours one file at a time, as before the
//                                                   two threads, del first
// tools/bench.sh makes the folders itself and flushes the disk before measuring, so that
// neither side pays for the other's writes.
#include <windows.h>

#include <cstdio>
#include <string>

#include "delete/DeleteFiles.h"
#include "delete/DeletePlan.h"
#include "platform/win/Win32Platform.h"

namespace {

int kFiles = 50000;

double NowMs() {
    LARGE_INTEGER count, frequency;
    ::QueryPerformanceCounter(&count);
    ::QueryPerformanceFrequency(&frequency);
    return static_cast<double>(count.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

void Fill(const std::wstring& folder) {
    ::CreateDirectoryW(folder.c_str(), nullptr);
    for (int i = 0; i < kFiles; ++i) {
        HANDLE file =
            ::CreateFileW((folder + L"\\file" + std::to_wstring(i) + L".tmp").c_str(),
                          GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        DWORD written = 0;
        ::WriteFile(file, "0123456789", 10, &written, nullptr);
        ::CloseHandle(file);
    }
}

int Remaining(const std::wstring& folder) {
    int count = 0;
    WIN32_FIND_DATAW data;
    HANDLE find = ::FindFirstFileW((folder + L"\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return 0;
    do count += (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? 0 : 1;
    while (::FindNextFileW(find, &data));
    ::FindClose(find);
    return count;
}

// The folder held open, handed one file at a time: the run as it was before two threads
// took the files.
struct OneAtATime : ondrevan::OpenedFolder {
    explicit OneAtATime(ondrevan::OpenedFolder& real) : real(real) {}
    ondrevan::FileRemoval RemoveFileInside(const std::string& name,
                                           std::uint32_t attributes) override {
        return real.RemoveFileInside(name, attributes);
    }
    ondrevan::FileRemoval CheckInPlace(const std::string& name) override {
        return real.CheckInPlace(name);
    }
    bool StillInPlace() override { return real.StillInPlace(); }
    ondrevan::OpenedFolder& real;
};

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const std::wstring mode = argc > 1 ? argv[1] : L"";
    if (argc > 2) kFiles = _wtoi(argv[2]);
    const std::wstring ours = L"C:\\ondrevan-bench-delete-a",
                       theirs = L"C:\\ondrevan-bench-delete-b";
    if (mode == L"fill") {
        Fill(ours);
        Fill(theirs);
        return 0;
    }
    if (mode != L"measure" && mode != L"measure-del-first" && mode != L"measure-one-at-a-time")
        return 2;
    const bool oneAtATime = mode == L"measure-one-at-a-time";
    kFiles = Remaining(ours);

    ondrevan::win::Win32FileSystem fileSystem;
    double start = 0, oursMs = 0, delMs = 0;
    auto runOurs = [&] {
        start = NowMs();
        // The two steps of a run: the folder's plan, then its execution.
        const std::string folder = "C:\\ondrevan-bench-delete-a";
        // The files go through the folder held open, each checked to lie where it was listed.
        const ondrevan::FolderOpening opened = fileSystem.OpenFolderToClear(folder);
        if (opened.folder) {
            OneAtATime alone(*opened.folder);
            ondrevan::OpenedFolder& used = oneAtATime ? alone : *opened.folder;
            ondrevan::DeletePlannedFiles(used, folder, fileSystem.ListFiles(folder), nullptr);
        }
        oursMs = NowMs() - start;
    };
    const bool delFirst = mode != L"measure";
    if (!delFirst) runOurs();

    std::wstring command = L"cmd /c del /f /q \"" + theirs + L"\\*.*\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    start = NowMs();
    if (::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW,
                         nullptr, nullptr, &startup, &process)) {
        ::WaitForSingleObject(process.hProcess, INFINITE);
        ::CloseHandle(process.hProcess);
        ::CloseHandle(process.hThread);
    }
    delMs = NowMs() - start;
    if (delFirst) runOurs();

    std::printf("deleting %d files in one folder%s\n", kFiles,
                oneAtATime ? ", ours one file at a time" : "");
    std::printf("  Ondrevan  %8.1f ms %9.0f files/s  (%d left)\n", oursMs, kFiles / oursMs * 1000,
                Remaining(ours));
    std::printf("  del /f /q %8.1f ms %9.0f files/s  (%d left)\n", delMs, kFiles / delMs * 1000,
                Remaining(theirs));
    std::printf("  ratio     %8.2f (Ondrevan's time over del's)\n", oursMs / delMs);
    ::RemoveDirectoryW(ours.c_str());
    ::RemoveDirectoryW(theirs.c_str());
    return 0;
}
