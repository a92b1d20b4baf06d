#pragma once

#include <filesystem>

#ifdef _WIN32
#include <windows.h>
// After windows.h, which it needs.
#include <tlhelp32.h>

#include <string>
#else
#include <sys/wait.h>
#include <unistd.h>
#endif

// Processes for the tests that need one beside their own, on each platform.
namespace kelvane::test {

#ifdef _WIN32

// The running test program's own file.
inline std::filesystem::path RunningProgramFile() {
    std::wstring name(32768, L'\0');
    name.resize(::GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(name.size())));
    return name;
}

// Another process that runs as long as the test (the system's own ones do).
inline int OtherRunningProcessId() {
    HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    int found = -1;
    for (BOOL more = ::Process32FirstW(snapshot, &entry); more && found < 0;
         more = ::Process32NextW(snapshot, &entry))
        if (entry.th32ProcessID != 0 && entry.th32ProcessID != ::GetCurrentProcessId())
            found = static_cast<int>(entry.th32ProcessID);
    ::CloseHandle(snapshot);
    return found;
}

// The id of a process that has started and ended: the test program itself,
// asked to list no test.
inline int EndedProcessId() {
    std::wstring command = L"\"" + RunningProgramFile().native() + L"\" --gtest_list_tests --gtest_filter=-*";
    STARTUPINFOW start{};
    start.cb = sizeof start;
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                          nullptr, &start, &process))
        return -1;
    ::WaitForSingleObject(process.hProcess, INFINITE);
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    return static_cast<int>(process.dwProcessId);
}

#else

inline std::filesystem::path RunningProgramFile() {
    return std::filesystem::read_symlink("/proc/self/exe");
}

inline int OtherRunningProcessId() {
    return static_cast<int>(::getppid());
}

inline int EndedProcessId() {
    const pid_t child = ::fork();
    if (child == 0) ::_exit(0);
    if (child < 0) return -1;
    ::waitpid(child, nullptr, 0);
    return static_cast<int>(child);
}

#endif

}  // namespace kelvane::test
