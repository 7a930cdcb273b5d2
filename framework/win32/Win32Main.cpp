// The program's entry on Win32; the application object does the rest.
#include "framework/win32/Win32Backend.h"

int main(int argc, char** argv) {
    return tavirap::TavirapWinMain(argc, argv);
}
