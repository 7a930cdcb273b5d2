#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "framework/win32/Win32Backend.h"

namespace tavirap {

namespace {

// One argument as the started program's C runtime splits its command line,
// in the code page's characters: the second byte of a double-byte character
// may be 0x5C, and is no backslash.
std::string QuoteArgument(const std::string& arg) {
    std::string quoted = "\"";
    std::size_t backslashes = 0;
    for (std::size_t i = 0; i < arg.size(); ++i) {
        const char c = arg[i];
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        quoted.append(c == '"' ? 2 * backslashes + 1 : backslashes, '\\');
        backslashes = 0;
        quoted += c;
        if (IsDBCSLeadByte(static_cast<BYTE>(c)) && i + 1 < arg.size()) {
            quoted += arg[++i];
        }
    }
    quoted.append(2 * backslashes, '\\');
    return quoted + "\"";
}

// ShellExecuteEx's "runas" (the UAC prompt) on a program beside this one.
// A program started so gets no standard input: the input's lines follow the
// arguments, so that what runs with rights is exactly what was asked for and
// no file is left or read.
class RunasElevation : public Elevation {
public:
    RunasElevation(std::string program, std::vector<std::string> leading)
        : program_(std::move(program)), leading_(std::move(leading)) {}

    // The UAC prompt is there for every user; who may not elevate is told so by it.
    bool CanAsk() const override { return true; }

    ElevatedRun Run(const std::vector<std::string>& args, const std::string& input) override {
        char self[MAX_PATH + 1] = {};
        const DWORD length = GetModuleFileNameA(nullptr, self, MAX_PATH);
        std::string program(self, length);
        program = program.substr(0, program.find_last_of("\\/") + 1) + program_;
        std::vector<std::string> all = leading_;
        all.insert(all.end(), args.begin(), args.end());
        for (std::size_t start = 0; start < input.size();) {
            const std::size_t end = std::min(input.find('\n', start), input.size());
            all.push_back(
                input.substr(start, end - start - (end > start && input[end - 1] == '\r')));
            start = end + 1;
        }
        std::string parameters;
        for (const std::string& arg : all) {
            parameters += (parameters.empty() ? "" : " ") + QuoteArgument(arg);
        }
        SHELLEXECUTEINFOA run{};
        run.cbSize = sizeof run;
        run.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
        run.hwnd = GetActiveWindow();
        run.lpVerb = "runas";
        run.lpFile = program.c_str();
        run.lpParameters = parameters.c_str();
        run.nShow = SW_HIDE;
        // The shell's DLL (and the several it brings) loads only here, at a
        // SAVE that needs rights, not at every start.
        const auto execute =
            Proc<BOOL(WINAPI*)(SHELLEXECUTEINFOA*)>(LoadLibraryA("shell32.dll"), "ShellExecuteExA");
        if (execute == nullptr || !execute(&run)) {
            const DWORD error = GetLastError();
            return error == ERROR_CANCELLED
                       ? ElevatedRun{ElevatedRun::Outcome::kDismissed, 0, {}}
                       : ElevatedRun{ElevatedRun::Outcome::kUnavailable, 0,
                                     program +
                                         " could not be started with administrator rights "
                                         "(error " +
                                         std::to_string(error) + ")"};
        }
        WaitForSingleObject(run.hProcess, INFINITE);
        DWORD exitCode = 0;
        GetExitCodeProcess(run.hProcess, &exitCode);
        CloseHandle(run.hProcess);
        return {ElevatedRun::Outcome::kExited, static_cast<int>(exitCode), {}};
    }

private:
    std::string program_;
    std::vector<std::string> leading_;
};

}  // namespace

std::unique_ptr<Elevation> MakeElevation(std::string program, std::vector<std::string> leading) {
    return std::make_unique<RunasElevation>(std::move(program), std::move(leading));
}

}  // namespace tavirap
