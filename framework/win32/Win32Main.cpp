// The program's entry on Win32; the application object does the rest.
#include <fcntl.h>
#include <io.h>

#include <cstdio>

#include "framework/win32/Win32Backend.h"

namespace tavirap {

namespace {

// True in the program linked for the GUI subsystem (tavirap.exe): Windows
// gives it no console, and a shell does not wait for it.
bool IsGuiProgram() {
    const auto* image = reinterpret_cast<const BYTE*>(GetModuleHandleA(nullptr));
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(image);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(image + dos->e_lfanew);
    return nt->OptionalHeader.Subsystem == IMAGE_SUBSYSTEM_WINDOWS_GUI;
}

// The GUI program's command-line run: each standard stream its caller did
// not redirect goes to the caller's console, where there is one (cmd.exe
// shows the output, though it does not wait), and otherwise nowhere (started
// from Explorer or with administrator rights), so that writing the output
// does not fail the run.
void ConnectStandardStreams() {
    struct Stream {
        DWORD id;
        FILE* file;
        int flags;
        const char* device;
    };
    const Stream streams[] = {{STD_INPUT_HANDLE, stdin, _O_RDONLY, "CONIN$"},
                              {STD_OUTPUT_HANDLE, stdout, _O_WRONLY, "CONOUT$"},
                              {STD_ERROR_HANDLE, stderr, _O_WRONLY, "CONOUT$"}};
    bool asked = false;
    bool console = false;
    for (int fd = 0; fd < 3; ++fd) {
        const Stream& s = streams[fd];
        HANDLE handle = GetStdHandle(s.id);
        if (handle != nullptr && handle != INVALID_HANDLE_VALUE &&
            GetFileType(handle) != FILE_TYPE_UNKNOWN) {
            continue;
        }
        if (!asked) {
            console = AttachConsole(ATTACH_PARENT_PROCESS) != 0;
            asked = true;
        }
        int opened = _open(console ? s.device : "NUL", s.flags | _O_BINARY);
        if (opened < 0) {
            opened = _open("NUL", s.flags | _O_BINARY);
        }
        if (opened >= 0 && opened != fd) {
            _dup2(opened, fd);
            _close(opened);
        }
        // The C library marks the stream of a handle a GUI program was not
        // given as having no file at all (freopen then fails too); it takes
        // the file now behind its number.
        s.file->_file = fd;
    }
}

}  // namespace

int TavirapWinMain(int argc, char** argv) {
    if (argc > 1 && IsGuiProgram()) {
        ConnectStandardStreams();
    }
    // Exported files keep their CRLF line ends, and imported ones reach the
    // parser as they are.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stdin), _O_BINARY);
    if (int exitCode = 0; AfxRunWithoutWindow(argc, argv, exitCode)) {
        return exitCode;
    }
    // A console made just for this program (started from Explorer) goes
    // before the dialog shows; a console shared with a shell stays.
    DWORD processes[2];
    if (GetConsoleProcessList(processes, 2) == 1) {
        ShowWindow(GetConsoleWindow(), SW_HIDE);
        FreeConsole();
    }
    Win32WindowBackend backend;
    return AfxWinMain();
}

}  // namespace tavirap

int main(int argc, char** argv) {
    return tavirap::TavirapWinMain(argc, argv);
}
