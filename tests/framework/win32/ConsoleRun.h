// A command line run under Wine with its standard output and error in one
// pipe, for the tests that run the programs themselves.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace tavirap::test {

struct ConsoleRun {
    // folder: where it runs (null: here).
    explicit ConsoleRun(std::string line, const char* folder = nullptr) {
        SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
        STARTUPINFOA start{};
        start.cb = sizeof start;
        start.dwFlags = STARTF_USESTDHANDLES;
        CreatePipe(&read, &start.hStdOutput, &inherited, 0);
        start.hStdError = start.hStdOutput;
        PROCESS_INFORMATION info{};
        EXPECT_TRUE(CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                   folder, &start, &info))
            << GetLastError();
        CloseHandle(start.hStdOutput);
        CloseHandle(info.hThread);
        process = info.hProcess;
    }
    // Its exit code, once it ends; its output, both streams, gathered.
    DWORD Finish() {
        char buffer[4096];
        for (DWORD got = 0; ReadFile(read, buffer, sizeof buffer, &got, nullptr) && got > 0;) {
            output.append(buffer, got);
        }
        DWORD code = 99;
        WaitForSingleObject(process, INFINITE);
        GetExitCodeProcess(process, &code);
        CloseHandle(process);
        CloseHandle(read);
        return code;
    }
    HANDLE read = nullptr;
    HANDLE process = nullptr;
    std::string output;
};

}  // namespace tavirap::test
